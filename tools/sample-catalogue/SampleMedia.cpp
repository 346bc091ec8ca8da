#include "SampleMedia.h"

namespace arvexhub::sample {
namespace {

QString text(const char* utf8) {
  return QString::fromUtf8(utf8);
}

QColor colour(const char* name) {
  return QColor(QString::fromLatin1(name));
}

QList<SampleMovie> makeMovies() {
  return {
      {text("PaperLanterns"), text("Paper Lanterns"), text("Kitefall Animation"), text("Arvex Pictures"),
       text("2022-12-09"), text("testsrc2"), 440},
      {text("SignalAtDawn"), text("Signal at Dawn"), text("Bar & Tone Studio"), text("Arvex Pictures"),
       text("2021-04-16"), text("smptehdbars"), 660},
      {text("FractalTide"), text("Fractal Tide"), text("Deepwater Collective"),
       text("Harbor Light Publishing"), text("2024-02-02"), text("mandelbrot"), 330},
  };
}

QList<SampleEbook> makeEbooks() {
  return {
      {text("LanternKeepersAlmanac"), text("The Lantern Keeper’s Almanac"), text("Mira Holloway"),
       text("Greenhouse Press"), text("2019-10-01"), colour("#f4ead5"), colour("#b3471d"), 3},
      {text("RiversOfGlass"), text("Rivers of Glass"), text("Tomas Varga"), text("Harbor Light Publishing"),
       text("2022-06-12"), colour("#dcecf2"), colour("#125a7a"), 4},
      {text("ArvexFieldGuide"), text("The Arvex Field Guide"), text("Arvex Editorial Team"),
       text("Arvex Books"), text("2024-03-03"), colour("#1f2430"), colour("#f2b134"), 5},
  };
}

QList<SampleAlbum> makeAlbums() {
  return {
      {text("NightDriveTapes"),
       text("Night Drive Tapes"),
       text("The Cassette Owls"),
       text("Arvex Records"),
       text("2023-05-19"),
       {colour("#140b2e"), colour("#c2367a"), Motif::Disc},
       {
           {text("Headlights"),
            {57, 60, 64, 69, 67, 64, 60, 64, 62, 65, 69, 74, 72, 69, 65, 62, 64, 60, 57, 57},
            0.4,
            true},
           {text("Empty Highway"),
            {45, 52, 57, 52, 48, 55, 60, 55, 43, 50, 55, 50, 45, 52, 57, 64},
            0.5,
            false},
           {text("Last Exit"), {69, 67, 65, 64, 62, 60, 59, 57, 59, 60, 62, 64, 65, 64, 62, 57}, 0.35, true},
       }},
      {text("OrchardSuite"),
       text("Orchard Suite"),
       text("Lina Sorell"),
       text("Greenhouse Press"),
       text("2021-09-23"),
       {colour("#2d5a27"), colour("#f3d36b"), Motif::Note},
       {
           {text("Blossom"), {72, 76, 79, 84, 79, 76, 72, 74, 77, 81, 77, 74, 72, 67, 64, 60}, 0.4, false},
           {text("Bees at Noon"),
            {76, 77, 76, 77, 79, 77, 76, 74, 72, 74, 76, 72, 69, 71, 72, 72},
            0.3,
            true},
           {text("Windfall"), {67, 64, 60, 55, 60, 64, 67, 72, 71, 67, 62, 59, 60, 55, 52, 48}, 0.45, true},
       }},
  };
}

} // namespace

const QList<SampleMovie>& sampleMovies() {
  static const QList<SampleMovie> movies = makeMovies();
  return movies;
}

const QList<SampleEbook>& sampleEbooks() {
  static const QList<SampleEbook> ebooks = makeEbooks();
  return ebooks;
}

const QList<SampleAlbum>& sampleAlbums() {
  static const QList<SampleAlbum> albums = makeAlbums();
  return albums;
}

} // namespace arvexhub::sample
