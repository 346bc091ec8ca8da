#include "media/AudioVisualizer.h"

#include <style/Style.h>
#include <style/Theme.h>

#include <QAudioBuffer>
#include <QImage>
#include <QPixmap>
#include <QTest>

#include <memory>

using namespace arvexhub::launcher;

namespace {

QAudioFormat formatOf(QAudioFormat::SampleFormat sampleFormat, int channels) {
  QAudioFormat format;
  format.setSampleFormat(sampleFormat);
  format.setSampleRate(8000);
  format.setChannelCount(channels);
  return format;
}

// Interleaved 16-bit samples, as the decoder hands them out.
QAudioBuffer int16Buffer(const QList<qint16>& samples, int channels = 1) {
  const QByteArray data(reinterpret_cast<const char*>(samples.constData()),
                        samples.size() * qsizetype(sizeof(qint16)));
  return QAudioBuffer(data, formatOf(QAudioFormat::Int16, channels));
}

QAudioBuffer floatBuffer(const QList<float>& samples) {
  const QByteArray data(reinterpret_cast<const char*>(samples.constData()),
                        samples.size() * qsizetype(sizeof(float)));
  return QAudioBuffer(data, formatOf(QAudioFormat::Float, 1));
}

} // namespace

class TestAudioVisualizer : public QObject {
  Q_OBJECT

  std::unique_ptr<AudioVisualizer> visualizer_;

  QImage shown(const QSize& size) {
    visualizer_->resize(size);
    return visualizer_->grab().toImage();
  }
  QColor background() const {
    return arvexhub::style::Style::themeOf(visualizer_.get()).backgroundColorWorkspace;
  }
  QColor barColor() const {
    return arvexhub::style::Style::themeOf(visualizer_.get()).primaryColor;
  }

private slots:
  void init() {
    visualizer_ = std::make_unique<AudioVisualizer>();
  }
  void cleanup() {
    visualizer_.reset();
  }

  void buffersScrollTheMeter_data() {
    QTest::addColumn<QAudioBuffer>("buffer");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<double>("level");
    QTest::newRow("silence") << int16Buffer(QList<qint16>(512, 0)) << true << 0.0;
    QTest::newRow("one full-scale sample") << int16Buffer({0, 0, 32767, 0}) << true << 1.0;
    QTest::newRow("one negative full-scale sample") << int16Buffer({0, -32767, 0}) << true << 1.0;
    QTest::newRow("lowest sample stays at full scale") << int16Buffer({-32768, 0}) << true << 1.0;
    QTest::newRow("peak in the second channel")
        << int16Buffer({100, -8192, 200, 0}, 2) << true << 8192 / 32767.0;
    QTest::newRow("float samples ignored") << floatBuffer({1.0F, -1.0F}) << false << 0.0;
    QTest::newRow("no buffer") << QAudioBuffer() << false << 0.0;
  }
  void buffersScrollTheMeter() {
    QFETCH(QAudioBuffer, buffer);
    QFETCH(bool, taken);
    QFETCH(double, level);
    visualizer_->processBuffer(int16Buffer({16384}));
    const QList<double> before = visualizer_->levels();

    visualizer_->processBuffer(buffer);

    QList<double> expected = before;
    if (taken) {
      expected.removeFirst();
      expected.append(level);
    }
    QCOMPARE(visualizer_->levels(), expected);
    QCOMPARE(visualizer_->levels().size(), AudioVisualizer::barCount);
  }

  void albumArtStopsTheMeter() {
    QPixmap picture(40, 20);
    picture.fill(Qt::red);
    visualizer_->setAlbumArt(picture);
    const QList<double> before = visualizer_->levels();
    visualizer_->processBuffer(int16Buffer({32767}));
    QCOMPARE(visualizer_->levels(), before);

    // Twice as wide as high in a square widget: centred, with bands above and below.
    const QImage image = shown(QSize(200, 200));
    QCOMPARE(image.pixelColor(100, 100), QColor(Qt::red));
    QCOMPARE(image.pixelColor(100, 10), background());
    QCOMPARE(image.pixelColor(100, 190), background());
    QCOMPARE(image.pixelColor(0, 100), QColor(Qt::red));

    visualizer_->setAlbumArt(QPixmap());
    visualizer_->processBuffer(int16Buffer({32767}));
    QCOMPARE(visualizer_->levels().last(), 1.0);
    QCOMPARE(shown(QSize(200, 200)).pixelColor(100, 100), background());
  }

  void barsStandOnTheBottomEdge_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("barsShown");
    QTest::newRow("narrower than 75 pixels") << 74 << false;
    QTest::newRow("75 pixels") << 75 << true;
    QTest::newRow("wide") << 600 << true;
  }
  void barsStandOnTheBottomEdge() {
    QFETCH(int, width);
    QFETCH(bool, barsShown);
    for (int i = 0; i < AudioVisualizer::barCount; ++i) {
      visualizer_->processBuffer(int16Buffer({i % 2 == 0 ? qint16(32767) : qint16(16384)}));
    }
    const QImage image = shown(QSize(width, 100));

    // The oldest bar is at the left: full height; the newest at the right: half height.
    const int barWidth = width / 75;
    const int newestLeft = (AudioVisualizer::barCount - 1) * (barWidth + barWidth / 2);
    const QColor expected = barsShown ? barColor() : background();
    QCOMPARE(image.pixelColor(0, 99), expected);
    QCOMPARE(image.pixelColor(0, 1), expected);
    QCOMPARE(image.pixelColor(newestLeft, 99), expected);
    QCOMPARE(image.pixelColor(newestLeft, 40), background());
    QCOMPARE(image.pixelColor(width - 1, 0), background());
  }
};

QTEST_MAIN(TestAudioVisualizer)
#include "tst_audiovisualizer.moc"
