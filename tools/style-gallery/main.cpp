// Shows the style kit's controls; with --screenshot it writes pictures of the window, the
// about dialog ("-about" added to the name) and a menu ("-menu") and ends.
//   style-gallery [--theme Dark|Light] [--screenshot file.png]
#include "style/Icons16.h"
#include "style/Style.h"
#include "style/ThemeManager.h"

#include "GalleryWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QTimer>

namespace {

QString withSuffix(const QString& path, const QString& suffix) {
  const QFileInfo info(path);
  return info.dir().filePath(info.completeBaseName() + suffix + QStringLiteral(".png"));
}

void saveScreenshots(GalleryWindow& window, const QString& path) {
  window.grab().save(path);
  auto* about = GalleryWindow::makeAboutDialog(&window);
  about->show();
  about->grab().save(withSuffix(path, QStringLiteral("-about")));
  about->close();
  auto* menu = GalleryWindow::makeMenu(&window);
  menu->popup(QPoint(0, 0));
  menu->grab().save(withSuffix(path, QStringLiteral("-menu")));
  menu->close();
}

} // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QCommandLineParser parser;
  parser.addHelpOption();
  const QCommandLineOption themeOption(QStringLiteral("theme"), QStringLiteral("Theme id."),
                                       QStringLiteral("id"), QStringLiteral("Dark"));
  const QCommandLineOption shotOption(QStringLiteral("screenshot"), QStringLiteral("Write a PNG and quit."),
                                      QStringLiteral("file"));
  parser.addOption(themeOption);
  parser.addOption(shotOption);
  parser.process(app);

  auto* style = new arvexhub::style::Style(&app);
  style->setAnimationsEnabled(!parser.isSet(shotOption));
  QApplication::setStyle(style);
  arvexhub::style::icons::initializeIconTheme();
  arvexhub::style::ThemeManager themes(style);
  themes.loadDirectory(QStringLiteral(":/arvexhub/launcher/resources/themes"));
  themes.setCurrentTheme(parser.value(themeOption));

  GalleryWindow window(&themes);
  window.resize(1180, 560);
  window.show();
  if (parser.isSet(shotOption)) {
    QTimer::singleShot(300, &window, [&window, path = parser.value(shotOption)] {
      saveScreenshots(window, path);
      QApplication::quit();
    });
  }
  return QApplication::exec();
}
