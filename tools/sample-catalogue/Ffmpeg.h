#pragma once

#include <QString>
#include <QStringList>

namespace arvexhub::sample {

/// The ffmpeg program found on PATH; empty when there is none.
QString ffmpegProgram();

/// The message for a part that cannot be made without ffmpeg, e.g. "the sample movies are not written".
QString ffmpegMissing(const QString& consequence);

/// Options written as one text, split at its blanks: "-c:a aac -b:a 64k".
QStringList ffmpegOptions(const char* text);

/// Output options that leave out the encoder's version and the input's tags, so the same input gives
/// the same bytes.
QStringList reproducibleOutput();

/// Runs ffmpeg quietly, overwriting its outputs. Returns an error message with ffmpeg's own last
/// words, empty on success.
QString runFfmpeg(const QString& program, const QStringList& arguments);

} // namespace arvexhub::sample
