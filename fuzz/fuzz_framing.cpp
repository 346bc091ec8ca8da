// What a second instance of the program sends the running one over the local socket, cut into
// reads of any size, through the frame decoder.
//
// Promises checked, against a plain reading of the frame format (a 4-byte big-endian length,
// at most kMaxMessageSize, then exactly that many bytes, then nothing): the decoder is
// complete exactly when the bytes so far are one whole frame, invalid for good once they can no
// longer become one, and its message is the frame's payload (which encodes back to the frame).

#include "instance/MessageFraming.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QtEndian>

#include <cstdio>
#include <cstdlib>

using arvexhub::instance::encodeFrame;
using arvexhub::instance::FrameDecoder;
using arvexhub::instance::kFrameHeaderSize;
using arvexhub::instance::kMaxMessageSize;

namespace {

void check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "broken promise: %s\n", what);
    std::abort();
  }
}

/// What the stream so far is, read straight from the format.
FrameDecoder::State expectedState(const QByteArray& stream) {
  if (stream.size() < kFrameHeaderSize) {
    return FrameDecoder::State::Incomplete;
  }
  const quint32 announced = qFromBigEndian<quint32>(stream.constData());
  if (announced > quint32(kMaxMessageSize)) {
    return FrameDecoder::State::Invalid;
  }
  const qsizetype frame = kFrameHeaderSize + qsizetype(announced);
  if (stream.size() > frame) {
    return FrameDecoder::State::Invalid;
  }
  return stream.size() == frame ? FrameDecoder::State::Complete : FrameDecoder::State::Incomplete;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  FrameDecoder decoder;
  QByteArray stream;
  bool wasInvalid = false;
  bool wasComplete = false;
  while (input.remaining_bytes() > 0) {
    // Reads of 0 to 64 KiB + a few bytes, the length picked by the input itself.
    const auto length = input.ConsumeIntegralInRange<size_t>(0, size_t(kMaxMessageSize) + 8);
    const std::string chunk = input.ConsumeBytesAsString(length);
    const QByteArray bytes(chunk.data(), qsizetype(chunk.size()));
    const FrameDecoder::State state = decoder.feed(bytes);
    check(state == decoder.state(), "feed() and state() disagree");
    if (!bytes.isEmpty()) {
      stream.append(bytes);
    }
    FrameDecoder::State expected = expectedState(stream);
    if (wasInvalid || (wasComplete && !bytes.isEmpty())) {
      expected = FrameDecoder::State::Invalid;
    }
    check(state == expected, "the decoder's state differs from the frame format");
    wasInvalid = state == FrameDecoder::State::Invalid;
    wasComplete = state == FrameDecoder::State::Complete;
    if (state == FrameDecoder::State::Complete) {
      check(decoder.message() == stream.mid(kFrameHeaderSize), "the message is not the payload");
      check(encodeFrame(decoder.message()) == stream, "the message does not encode back to its frame");
    } else {
      check(decoder.message().isEmpty(), "a message before the frame is complete");
    }
  }
  return 0;
}
