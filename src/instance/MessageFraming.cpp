#include "instance/MessageFraming.h"

#include <QtEndian>

namespace arvexhub::instance {

QByteArray encodeFrame(const QByteArray& payload) {
  Q_ASSERT(payload.size() <= kMaxMessageSize);
  QByteArray frame(kFrameHeaderSize, Qt::Uninitialized);
  qToBigEndian(static_cast<quint32>(payload.size()), frame.data());
  frame.append(payload);
  return frame;
}

FrameDecoder::State FrameDecoder::feed(const QByteArray& bytes) {
  if (bytes.isEmpty() || state_ == State::Invalid) {
    return state_;
  }
  if (state_ == State::Complete) {
    // One frame per connection: anything after it is not ours to interpret.
    buffer_.clear();
    state_ = State::Invalid;
    return state_;
  }
  buffer_.append(bytes);
  state_ = evaluate();
  if (state_ == State::Invalid) {
    buffer_.clear();
  }
  return state_;
}

FrameDecoder::State FrameDecoder::state() const {
  return state_;
}

QByteArray FrameDecoder::message() const {
  return state_ == State::Complete ? buffer_.mid(kFrameHeaderSize) : QByteArray();
}

FrameDecoder::State FrameDecoder::evaluate() const {
  if (buffer_.size() < kFrameHeaderSize) {
    return State::Incomplete;
  }
  const auto announced = qFromBigEndian<quint32>(buffer_.constData());
  if (announced > static_cast<quint32>(kMaxMessageSize)) {
    return State::Invalid;
  }
  const auto frameSize = kFrameHeaderSize + static_cast<qsizetype>(announced);
  if (buffer_.size() > frameSize) {
    return State::Invalid;
  }
  return buffer_.size() == frameSize ? State::Complete : State::Incomplete;
}

} // namespace arvexhub::instance
