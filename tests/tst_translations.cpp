#include "TestDir.h"

#include <QFile>
#include <QProcess>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

struct Message {
  QString context;
  QString source;
  QString translation;
  QString type; ///< "unfinished", "vanished", "obsolete" or empty when done
};

QList<Message> readCatalogue(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    return {};
  }
  QList<Message> messages;
  QXmlStreamReader xml(&file);
  QString context;
  while (xml.readNextStartElement() || !xml.atEnd()) {
    if (!xml.isStartElement()) {
      continue;
    }
    if (xml.name() == QLatin1String("name")) {
      context = xml.readElementText();
    } else if (xml.name() == QLatin1String("source")) {
      messages.append({context, xml.readElementText(), {}, {}});
    } else if (xml.name() == QLatin1String("translation") && !messages.isEmpty()) {
      messages.last().type = xml.attributes().value(QLatin1String("type")).toString();
      // Plural forms come as <numerusform> children.
      messages.last().translation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
    }
  }
  return messages;
}

} // namespace

class TestTranslations final : public QObject {
  Q_OBJECT

private slots:
  void frenchIsCompleteAndCurrent() {
    // Refresh a copy of the catalogue from today's sources: a new text shows up as unfinished,
    // a text that is gone as vanished.
    arvexhub::test::TestDir dir;
    const auto copy = dir.filePath(QStringLiteral("fr_FR.ts"));
    QVERIFY(QFile::copy(QStringLiteral(ARVEXHUB_SOURCE_DIR "/resources/i18n/ArvexHub_fr_FR.ts"), copy));
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    QProcess lupdate;
    lupdate.start(QStringLiteral(LUPDATE_PATH),
                  {QStringLiteral("-locations"), QStringLiteral("none"),
                   // the include path the build has: a class is found in its own namespace
                   QStringLiteral("-I"), QStringLiteral(ARVEXHUB_SOURCE_DIR "/src"),
                   QStringLiteral("@" TRANSLATED_SOURCES_LIST), QStringLiteral("-ts"), copy});
    QVERIFY(lupdate.waitForFinished(60000));
    QCOMPARE(lupdate.exitCode(), 0);

    const auto messages = readCatalogue(copy);
    QVERIFY(messages.size() > 10);
    QStringList problems;
    for (const auto& message : messages) {
      if (!message.type.isEmpty() || message.translation.trimmed().isEmpty()) {
        problems.append(QStringLiteral("%1 / \"%2\": %3")
                            .arg(message.context, message.source,
                                 message.type.isEmpty() ? QStringLiteral("empty") : message.type));
      }
    }
    QVERIFY2(problems.isEmpty(), qPrintable(QStringLiteral("French catalogue out of date (run the "
                                                           "update_translations target and translate):\n") +
                                            problems.join(QLatin1Char('\n'))));
  }
};

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
