#pragma once

#include "Thumbnail.h"

#include <QColor>
#include <QList>
#include <QString>

namespace arvexhub::sample {

/// One invented movie: a few seconds of one of ffmpeg's generated pictures with a tone.
struct SampleMovie {
  QString name; ///< folder name and catalogue identifier
  QString fullName;
  QString studio; ///< the catalogue's "animation" text
  QString publisher;
  QString launchDate;
  QString videoSource; ///< an ffmpeg lavfi video source, without size, rate or duration
  int toneHz{440};
};

/// One invented e-book: a coloured cover page, then pages of text.
struct SampleEbook {
  QString name;
  QString fullName;
  QString author;
  QString publisher;
  QString publicationDate;
  QColor paperColour;
  QColor titleColour;
  int textPages{3};
};

/// One song of an album: a melody of MIDI note numbers played at a fixed pace.
struct SampleSong {
  QString title;
  QList<int> notes;
  double secondsPerNote{0.4};
  bool mp3{false}; ///< encoded as MP3 from the WAV; otherwise kept as WAV
};

/// One invented music album.
struct SampleAlbum {
  QString name;
  QString fullName;
  QString artist;
  QString publisher;
  QString releaseDate;
  PictureLook art;
  QList<SampleSong> songs;
};

/// The movies, e-books and albums of the sample catalogue, in catalogue order.
const QList<SampleMovie>& sampleMovies();
const QList<SampleEbook>& sampleEbooks();
const QList<SampleAlbum>& sampleAlbums();

} // namespace arvexhub::sample
