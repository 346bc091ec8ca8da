#include "media/AudioVisualizer.h"

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
    const QColor expected = barsShown ? QColor(Qt::cyan) : QColor(Qt::black);
    QCOMPARE(image.pixelColor(0, 99), expected);
    QCOMPARE(image.pixelColor(0, 1), expected);
    QCOMPARE(image.pixelColor(newestLeft, 99), expected);
    QCOMPARE(image.pixelColor(newestLeft, 40), QColor(Qt::black));
    QCOMPARE(image.pixelColor(width - 1, 0), QColor(Qt::black));

    // With a picture the meter rests, and the picture shows centred on black.
    QPixmap picture(40, 20);
    picture.fill(Qt::red);
    visualizer_->setAlbumArt(picture);
    const QList<double> levels = visualizer_->levels();
    visualizer_->processBuffer(int16Buffer({0}));
    QCOMPARE(visualizer_->levels(), levels);
    const QImage art = shown(QSize(width, 100));
    QCOMPARE(art.pixelColor(width / 2, 50), QColor(Qt::red));
    QCOMPARE(art.pixelColor(0, 0), QColor(Qt::black));
    QCOMPARE(art.pixelColor(width - 1, 99), QColor(Qt::black));
    visualizer_->setAlbumArt(QPixmap());
    QCOMPARE(shown(QSize(width, 100)), image); // the meter comes back as it was
    visualizer_->processBuffer(int16Buffer({32767}));
    QCOMPARE(visualizer_->levels().last(), 1.0);
  }
};

QTEST_MAIN(TestAudioVisualizer)
#include "tst_audiovisualizer.moc"
