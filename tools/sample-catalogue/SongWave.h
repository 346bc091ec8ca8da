#pragma once

#include <QByteArray>

namespace arvexhub::sample {

struct SampleSong;

/// The song as a WAV file (16-bit PCM, mono, 22,050 Hz): each note a plucked tone with two
/// overtones, fading out before the next one starts.
QByteArray songWav(const SampleSong& song);

} // namespace arvexhub::sample
