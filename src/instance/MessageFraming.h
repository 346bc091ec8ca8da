#pragma once

#include <QByteArray>

namespace arvexhub::instance {

/// Largest payload one frame may carry. A command line never needs more, and the bound keeps a
/// misbehaving client from making the primary buffer arbitrary amounts of data.
inline constexpr qsizetype kMaxMessageSize = qsizetype{64} * 1024;
/// Size of the big-endian length prefix in front of each payload.
inline constexpr qsizetype kFrameHeaderSize = 4;
/// The byte the primary answers with once it has a whole message.
inline constexpr char kAcknowledgement = '\x06';

/// Prefixes the payload with its length. The payload must not exceed kMaxMessageSize.
QByteArray encodeFrame(const QByteArray& payload);

/// Reassembles the single frame a connection carries from however many reads it arrives in.
/// A connection carries exactly one frame: a length above the maximum, or any byte after the
/// frame, makes the stream invalid for good.
class FrameDecoder final {
public:
  enum class State { Incomplete, Complete, Invalid };

  /// Appends bytes read from the connection and returns the resulting state.
  State feed(const QByteArray& bytes);
  State state() const;
  /// The payload, once the state is Complete; empty otherwise.
  QByteArray message() const;

private:
  State evaluate() const;

  QByteArray buffer_;
  State state_{State::Incomplete};
};

} // namespace arvexhub::instance
