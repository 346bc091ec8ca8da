// Shows the style kit's controls; with --screenshot it writes a picture of the window and ends.
//   style-gallery [--theme Dark|Light] [--screenshot file.png]
#include "GalleryWindow.h"

#include <style/Icons16.h>
#include <style/Style.h>
#include <style/ThemeManager.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QCommandLineParser parser;
  parser.addHelpOption();
  const QCommandLineOption themeOption(QStringLiteral("theme"), QStringLiteral("Theme id."), QStringLiteral("id"),
                                       QStringLiteral("Dark"));
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
    QTimer::singleShot(300, &window, [&window, &parser, &shotOption] {
      window.grab().save(parser.value(shotOption));
      QApplication::quit();
    });
  }
  return QApplication::exec();
}
