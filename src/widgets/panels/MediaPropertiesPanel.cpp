#include "widgets/panels/MediaPropertiesPanel.h"

#include "library/AlbumData.h"
#include "library/EbookData.h"
#include "library/LibraryModel.h"
#include "library/MovieData.h"

#include <QCoreApplication>
#include <QLabel>
#include <QVBoxLayout>

#include <iterator>

namespace arvexhub::launcher {
namespace {

/// A kind's object names (panel, picture, title, details), picture and progress roles, and its
/// detail lines: their labels and the roles of their values, in the order shown.
struct Fields {
  const char* names[4];
  int thumbnailRole;
  int progressRole;
  const char* detailLabels[3];
  int detailRoles[3];
};

// In the order of MediaPropertiesPanel::Kind.
const Fields fieldsOfKind[] = {
    {{"MoviePropertiesPanel", "movieThumbnail", "movieFullName", "movieDetails"},
     MovieRole::Thumbnail,
     MovieRole::DownloadProgress,
     {"Studio", "Publisher", "Released"},
     {MovieRole::Animation, MovieRole::Publisher, MovieRole::LaunchDate}},
    {{"EbookPropertiesPanel", "ebookThumbnail", "ebookFullName", "ebookDetails"},
     EbookRole::Thumbnail,
     EbookRole::DownloadProgress,
     {"Author", "Publisher", "Published"},
     {EbookRole::Author, EbookRole::Publisher, EbookRole::PublicationDate}},
    {{"AlbumPropertiesPanel", "albumThumbnail", "albumName", "albumDetails"},
     AlbumRole::Thumbnail,
     AlbumRole::DownloadProgress,
     {"Artist", "Publisher", "Released"},
     {AlbumRole::Artist, AlbumRole::Publisher, AlbumRole::ReleaseDate}},
};

const Fields& fieldsOf(MediaPropertiesPanel::Kind kind) {
  return fieldsOfKind[static_cast<int>(kind)];
}

} // namespace

MediaPropertiesPanel::MediaPropertiesPanel(LibraryModel* model, Kind kind, QWidget* parent)
    : PropertiesPanel(QLatin1String(fieldsOf(kind).names[1]), fieldsOf(kind).progressRole, parent)
    , model_(model)
    , kind_(kind) {
  const auto& names = fieldsOf(kind).names;
  setObjectName(QLatin1String(names[0]));
  // Titles come from the catalogue: shown as text, never as markup.
  title_ = addLabel(QLatin1String(names[2]), Qt::PlainText);
  title_->setStyleSheet(QStringLiteral("font-weight: bold; font-size: 16px;"));
  details_ = addLabel(QLatin1String(names[3]), Qt::RichText);
  contentLayout()->setAlignment(Qt::AlignTop);
}

MediaPropertiesPanel::~MediaPropertiesPanel() = default;

void MediaPropertiesPanel::updateUi(const QString& name) {
  const int row = name.isEmpty() ? -1 : rowByName(name);
  if (row < 0) {
    clearLabels();
    setEnabled(false);
    return;
  }
  setEnabled(true);
  const Fields& fields = fieldsOf(kind_);
  const QModelIndex item = model_->index(row);
  const auto picture = item.data(fields.thumbnailRole).value<QPixmap>();
  setPicture(picture);
  if (picture.isNull()) {
    thumbnail()->setText(QCoreApplication::translate("ArvexHubLauncher", "No Thumbnail"));
  }
  title_->setText(item.data(Qt::DisplayRole).toString());
  QList<QPair<QString, QString>> lines;
  for (std::size_t line = 0; line < std::size(fields.detailRoles); ++line) {
    lines.append({QLatin1String(fields.detailLabels[line]), item.data(fields.detailRoles[line]).toString()});
  }
  details_->setText(detailLines(lines));
  scrollToTop();
}

} // namespace arvexhub::launcher
