#include "SongWave.h"

#include "SampleMedia.h"

#include <QtEndian>
#include <QtMath>

#include <cmath>

namespace arvexhub::sample {
namespace {

constexpr int sampleRate = 22050;
constexpr int bytesPerSample = 2;

template <typename T>
void appendLittleEndian(QByteArray& bytes, T value) {
  char buffer[sizeof(T)];
  qToLittleEndian(value, buffer);
  bytes.append(buffer, sizeof(T));
}

QByteArray wavHeader(quint32 dataSize) {
  QByteArray header("RIFF");
  appendLittleEndian<quint32>(header, 36 + dataSize);
  header.append("WAVEfmt ");
  appendLittleEndian<quint32>(header, 16);
  appendLittleEndian<quint16>(header, 1); // PCM
  appendLittleEndian<quint16>(header, 1); // mono
  appendLittleEndian<quint32>(header, sampleRate);
  appendLittleEndian<quint32>(header, sampleRate * bytesPerSample);
  appendLittleEndian<quint16>(header, bytesPerSample);
  appendLittleEndian<quint16>(header, 8 * bytesPerSample);
  header.append("data");
  appendLittleEndian<quint32>(header, dataSize);
  return header;
}

void appendNote(QByteArray& samples, int midiNote, int length) {
  const double frequency = 440.0 * std::pow(2.0, (midiNote - 69) / 12.0);
  const int attack = sampleRate / 100;
  for (int i = 0; i < length; ++i) {
    const double time = double(i) / sampleRate;
    const double envelope = qMin(1.0, double(i) / attack) * std::exp(-4.0 * i / length);
    const double phase = 2 * M_PI * frequency * time;
    const double tone = std::sin(phase) + 0.4 * std::sin(2 * phase) + 0.15 * std::sin(3 * phase);
    appendLittleEndian<qint16>(samples, qint16(std::lround(envelope * tone / 1.55 * 0.7 * 32767)));
  }
}

} // namespace

QByteArray songWav(const SampleSong& song) {
  const int noteLength = int(song.secondsPerNote * sampleRate);
  QByteArray samples;
  samples.reserve(song.notes.size() * noteLength * bytesPerSample);
  for (const int note : song.notes) {
    appendNote(samples, note, noteLength);
  }
  return wavHeader(quint32(samples.size())) + samples;
}

} // namespace arvexhub::sample
