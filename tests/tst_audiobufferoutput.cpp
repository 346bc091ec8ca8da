#include "media/AudioBufferOutput.h"

#include "support/TestDir.h"

#include <QAudioBuffer>
#include <QAudioOutput>
#include <QEventLoop>
#include <QFile>
#include <QMediaPlayer>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>

#include <unistd.h>

using namespace arvexhub::launcher;

namespace {

constexpr qint64 inStepUs = 100'000;
// The test reads the position again right after the output did, in whole milliseconds.
constexpr qint64 rereadUs = 2'000;
constexpr int playbackTimeoutMs = 20'000;

// A buffer as it was handed out, with the player's position at that moment.
struct Heard {
  qint64 startUs;
  qint64 positionUs;
  QAudioFormat format;
  int peak;
};

int peakOf(const QAudioBuffer& buffer) {
  int peak = 0;
  if (buffer.format().sampleFormat() == QAudioFormat::Int16) {
    const qint16* samples = buffer.constData<qint16>();
    for (qsizetype i = 0; i < buffer.sampleCount(); ++i) {
      peak = std::max(peak, std::abs(int(samples[i])));
    }
  }
  return peak;
}

qint64 residentBytes() {
  QFile statm(QStringLiteral("/proc/self/statm"));
  if (!statm.open(QIODevice::ReadOnly)) {
    return 0;
  }
  const QList<QByteArray> fields = statm.readAll().split(' ');
  return fields.size() > 1 ? fields.at(1).toLongLong() * sysconf(_SC_PAGESIZE) : 0;
}

} // namespace

class TestAudioBufferOutput : public QObject {
  Q_OBJECT

  arvexhub::test::TestDir dir_;
  std::unique_ptr<QMediaPlayer> player_;
  std::unique_ptr<AudioBufferOutput> output_;
  QList<Heard> heard_;

  // Audio made by ffmpeg from one of its sources ("sine", "anullsrc"), once per test run.
  QString makeAudio(const QString& name, const QString& source, int seconds, const QStringList& format = {}) {
    const QString path = dir_.filePath(name);
    if (QFile::exists(path)) {
      return path;
    }
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 QStringList{QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-f"),
                             QStringLiteral("lavfi"), QStringLiteral("-i"), source, QStringLiteral("-t"),
                             QString::number(seconds)} +
                     format + QStringList{path});
    const bool made = ffmpeg.waitForFinished(60'000) && ffmpeg.exitCode() == 0;
    return made ? path : QString();
  }
  QString tenSecondTone() {
    return makeAudio(QStringLiteral("ten.wav"), QStringLiteral("sine=frequency=440:sample_rate=22050"), 10);
  }

  void play(const QString& path) {
    player_->setSource(QUrl::fromLocalFile(path));
    player_->play();
  }
  // QTest::qWaitFor sleeps between rounds of events, which slows the decoder down; this runs
  // the event loop without pause, as the application does.
  bool waitFor(const std::function<bool()>& done) {
    QEventLoop loop;
    QTimer check;
    check.callOnTimeout(&loop, [&] {
      if (done()) {
        loop.quit();
      }
    });
    check.start(10);
    QTimer::singleShot(playbackTimeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
  }
  // Waits for a buffer after the first `from` heard that passes the test.
  bool waitForBuffer(
      qsizetype from, const std::function<bool(const Heard&)>& test = [](const Heard&) { return true; }) {
    return waitFor(
        [&] { return std::any_of(heard_.cbegin() + std::min(from, heard_.size()), heard_.cend(), test); });
  }
  bool waitForStartAtLeast(qint64 startMs, qsizetype from = 0) {
    return waitForBuffer(from, [startMs](const Heard& heard) { return heard.startUs >= startMs * 1000; });
  }
  // Every buffer from `from` on came in step with the player and in playing order.
  void verifyInStep(qsizetype from = 0) const {
    for (qsizetype i = from; i < heard_.size(); ++i) {
      const Heard& heard = heard_.at(i);
      QCOMPARE(heard.format.sampleFormat(), QAudioFormat::Int16);
      QVERIFY2(
          heard.startUs <= heard.positionUs && heard.startUs >= heard.positionUs - inStepUs - rereadUs,
          qPrintable(
              QStringLiteral("buffer at %1 us heard at %2 us").arg(heard.startUs).arg(heard.positionUs)));
      QVERIFY(i == from || heard.startUs > heard_.at(i - 1).startUs);
    }
  }

private slots:
  void init() {
    QVERIFY(dir_.isValid());
    heard_.clear();
    player_ = std::make_unique<QMediaPlayer>();
    player_->setAudioOutput(new QAudioOutput(player_.get()));
    output_ = std::make_unique<AudioBufferOutput>(player_.get());
    connect(output_.get(), &AudioBufferOutput::audioBufferReceived, this, [this](const QAudioBuffer& buffer) {
      heard_.append({buffer.startTime(), player_->position() * 1000, buffer.format(), peakOf(buffer)});
    });
  }
  void cleanup() {
    output_.reset();
    player_.reset();
  }

  void buffersFollowPlayback_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("format");
    QTest::newRow("16-bit stereo WAV")
        << QStringLiteral("s16.wav") << QStringList{QStringLiteral("-ac"), QStringLiteral("2")};
    QTest::newRow("float WAV") << QStringLiteral("float.wav")
                               << QStringList{QStringLiteral("-c:a"), QStringLiteral("pcm_f32le")};
    QTest::newRow("MP3") << QStringLiteral("tone.mp3") << QStringList{};
  }
  void buffersFollowPlayback() {
    QFETCH(QString, name);
    QFETCH(QStringList, format);
    const QString path = makeAudio(name, QStringLiteral("sine=frequency=440"), 2, format);
    QVERIFY(!path.isEmpty());

    play(path);
    QVERIFY(waitFor([this] { return player_->mediaStatus() == QMediaPlayer::EndOfMedia; }));

    QVERIFY(!heard_.isEmpty());
    QVERIFY(heard_.last().startUs >= player_->duration() * 1000 / 2);
    QVERIFY(std::all_of(heard_.cbegin(), heard_.cend(), [](const Heard& heard) { return heard.peak > 0; }));
    verifyInStep();
  }

  void followsSeeks_data() {
    QTest::addColumn<qint64>("fromMs");
    QTest::addColumn<qint64>("toMs");
    QTest::addColumn<bool>("whilePaused");
    QTest::newRow("forward") << qint64(1000) << qint64(7000) << false;
    QTest::newRow("backward") << qint64(7000) << qint64(1000) << false;
    QTest::newRow("forward while paused") << qint64(1000) << qint64(7000) << true;
    QTest::newRow("backward while paused") << qint64(7000) << qint64(1000) << true;
  }
  void followsSeeks() {
    QFETCH(qint64, fromMs);
    QFETCH(qint64, toMs);
    QFETCH(bool, whilePaused);
    play(tenSecondTone());
    player_->setPosition(fromMs);
    QVERIFY(waitForStartAtLeast(fromMs));

    if (whilePaused) {
      player_->pause();
    }
    const qsizetype mark = heard_.size();
    player_->setPosition(toMs);
    player_->play();
    QVERIFY(waitForBuffer(mark));

    // The first buffer after the seek comes from its target, not from where playback was.
    QVERIFY(std::abs(heard_.at(mark).startUs - toMs * 1000) < std::abs(fromMs - toMs) * 1000 / 2);
    verifyInStep(mark);
  }

  void pauseAndStopHoldBuffersBack_data() {
    QTest::addColumn<bool>("stop");
    QTest::newRow("pause") << false;
    QTest::newRow("stop") << true;
  }
  void pauseAndStopHoldBuffersBack() {
    QFETCH(bool, stop);
    play(tenSecondTone());
    QVERIFY(waitForStartAtLeast(500));

    stop ? player_->stop() : player_->pause();
    const qsizetype mark = heard_.size();
    // Only waiting shows that nothing comes while playback rests.
    QTest::qWait(500);
    QCOMPARE(heard_.size(), mark);

    player_->play();
    QVERIFY(waitForBuffer(mark));
    // A pause goes on where it was, a stop starts again from the beginning.
    QCOMPARE(heard_.at(mark).startUs < heard_.at(mark - 1).startUs, stop);
    verifyInStep(mark);
  }

  // Nothing of the silent entry is heard once the tone has taken over.
  void nextSourceTakesOver() {
    play(makeAudio(QStringLiteral("quiet.wav"), QStringLiteral("anullsrc"), 10));
    QVERIFY(waitForStartAtLeast(500));
    QVERIFY(std::all_of(heard_.cbegin(), heard_.cend(), [](const Heard& heard) { return heard.peak == 0; }));

    const qsizetype mark = heard_.size();
    play(tenSecondTone());
    QVERIFY(waitForStartAtLeast(500, mark));

    QVERIFY(std::all_of(heard_.cbegin() + mark, heard_.cend(),
                        [](const Heard& heard) { return heard.peak > 0; }));
    verifyInStep(mark);
  }

  void videoIsNotDecoded() {
    const QString path = makeAudio(QStringLiteral("video.mp4"), QStringLiteral("testsrc=size=64x64:rate=10"),
                                   1, {QStringLiteral("-c:v"), QStringLiteral("mpeg4")});
    QVERIFY(!path.isEmpty());
    // A file with video is never decoded a second time (the player shows its picture; a second
    // decoder beside the video widget crashes the multimedia backend).
    play(path);
    QVERIFY(waitFor([this] { return player_->mediaStatus() == QMediaPlayer::EndOfMedia; }));
    QVERIFY(heard_.isEmpty());
  }

  // An hour of audio decodes in a few seconds: reading ahead of playback would soon hold all
  // of it. Seeking close to the end reads through the whole track, which takes some seconds
  // of the time left to play.
  void memoryStaysBoundedForAnHour() {
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("AddressSanitizer keeps freed memory in quarantine: resident memory says nothing here");
#endif
    const QString path =
        makeAudio(QStringLiteral("hour.wav"), QStringLiteral("sine=frequency=440:sample_rate=8000"), 3600);
    QVERIFY(!path.isEmpty());
    play(path);
    QVERIFY(waitForBuffer(0));
    const qint64 baseline = residentBytes();
    qint64 peak = baseline;
    QTimer sampler;
    sampler.callOnTimeout([&peak] { peak = std::max(peak, residentBytes()); });
    sampler.start(20);

    QVERIFY(waitForStartAtLeast(1000));
    const qint64 nearTheEndMs = player_->duration() - 30'000;
    player_->setPosition(nearTheEndMs);
    QVERIFY(waitForStartAtLeast(nearTheEndMs));

    const qint64 decodedHour = heard_.first().format.bytesForDuration(player_->duration() * 1000);
    QVERIFY2(peak - baseline < decodedHour / 10,
             qPrintable(QStringLiteral("grew by %1 bytes").arg(peak - baseline)));
    verifyInStep();
  }
};

QTEST_MAIN(TestAudioBufferOutput)
#include "tst_audiobufferoutput.moc"
