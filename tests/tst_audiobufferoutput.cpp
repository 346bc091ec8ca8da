#include "media/AudioBufferOutput.h"

#include "TestDir.h"

#include <QAudioBuffer>
#include <QAudioOutput>
#include <QEventLoop>
#include <QFile>
#include <QMediaPlayer>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <unistd.h>

using namespace Qt::StringLiterals;
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
  QFile statm(u"/proc/self/statm"_s);
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
    ffmpeg.start(u"ffmpeg"_s, QStringList{u"-v"_s, u"error"_s, u"-f"_s, u"lavfi"_s, u"-i"_s, source, u"-t"_s,
                                          QString::number(seconds)} +
                                  format + QStringList{path});
    const bool made = ffmpeg.waitForFinished(60'000) && ffmpeg.exitCode() == 0;
    return made ? path : QString();
  }
  QString tenSecondTone() {
    return makeAudio(u"ten.wav"_s, u"sine=frequency=440:sample_rate=22050"_s, 10);
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
  // Waits for a buffer, after the first `from` heard, that starts at `startMs` or later.
  bool waitForStartAtLeast(qint64 startMs, qsizetype from = 0) {
    return waitFor([&] { return heardFrom(startMs, from); });
  }
  bool heardFrom(qint64 startMs, qsizetype from) const {
    return std::any_of(heard_.cbegin() + std::min(from, heard_.size()), heard_.cend(),
                       [startMs](const Heard& heard) { return heard.startUs >= startMs * 1000; });
  }
  // Every buffer from `from` on came in step with the player and in playing order.
  void verifyInStep(qsizetype from = 0) const {
    for (qsizetype i = from; i < heard_.size(); ++i) {
      const Heard& heard = heard_.at(i);
      QCOMPARE(heard.format.sampleFormat(), QAudioFormat::Int16);
      QVERIFY2(heard.startUs <= heard.positionUs && heard.startUs >= heard.positionUs - inStepUs - rereadUs,
               qPrintable(u"buffer at %1 us heard at %2 us"_s.arg(heard.startUs).arg(heard.positionUs)));
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

  // A file with video is never decoded a second time (the player shows its picture; a second
  // decoder beside the video widget crashes the multimedia backend).
  void buffersFollowPlayback_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QStringList>("format");
    const QString tone = u"sine=frequency=440"_s;
    QTest::newRow("16-bit stereo WAV") << u"s16.wav"_s << tone << QStringList{u"-ac"_s, u"2"_s};
    QTest::newRow("float WAV") << u"float.wav"_s << tone << QStringList{u"-c:a"_s, u"pcm_f32le"_s};
    QTest::newRow("MP3") << u"tone.mp3"_s << tone << QStringList{};
    QTest::newRow("video") << u"video.mp4"_s << u"testsrc=size=64x64:rate=10"_s
                           << QStringList{u"-c:v"_s, u"mpeg4"_s};
  }
  void buffersFollowPlayback() {
    QFETCH(QString, name);
    QFETCH(QString, source);
    QFETCH(QStringList, format);
    const QString path = makeAudio(name, source, 2, format);
    QVERIFY(!path.isEmpty());

    play(path);
    QVERIFY(waitFor([this] { return player_->mediaStatus() == QMediaPlayer::EndOfMedia; }));

    if (name.endsWith(u".mp4"_s)) {
      QVERIFY(heard_.isEmpty());
      return;
    }
    QVERIFY(!heard_.isEmpty());
    QVERIFY(heard_.last().startUs >= player_->duration() * 1000 / 2);
    QVERIFY(std::all_of(heard_.cbegin(), heard_.cend(), [](const Heard& heard) { return heard.peak > 0; }));
    verifyInStep();
  }

  // Seeks, pauses, stops and a new source: the buffers follow, in step with the player.
  void followsPlayback_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<qint64>("fromMs");
    QTest::addColumn<qint64>("toMs"); // where a seek goes; -1 for none
    QTest::newRow("seek forward") << u"seek"_s << qint64(1000) << qint64(7000);
    QTest::newRow("seek backward") << u"seek"_s << qint64(7000) << qint64(1000);
    QTest::newRow("seek forward while paused") << u"pause"_s << qint64(1000) << qint64(7000);
    QTest::newRow("seek backward while paused") << u"pause"_s << qint64(7000) << qint64(1000);
    QTest::newRow("pause") << u"pause"_s << qint64(500) << qint64(-1);
    QTest::newRow("stop") << u"stop"_s << qint64(500) << qint64(-1);
    QTest::newRow("silence, then a tone") << u"source"_s << qint64(500) << qint64(-1);
  }
  void followsPlayback() {
    QFETCH(QString, change);
    QFETCH(qint64, fromMs);
    QFETCH(qint64, toMs);
    const bool source = change == u"source"_s;
    // Both files first: the switch must not wait for one to be written, as no player's would.
    const QString tone = tenSecondTone();
    play(source ? makeAudio(u"quiet.wav"_s, u"anullsrc"_s, 10) : tone);
    player_->setPosition(fromMs);
    QVERIFY(waitForStartAtLeast(fromMs));

    if (change == u"pause"_s) {
      player_->pause();
    } else if (change == u"stop"_s) {
      player_->stop();
    }
    const qsizetype mark = heard_.size();
    if (toMs < 0 && !source) {
      // Only waiting shows that nothing comes while playback rests.
      QTest::qWait(500);
      QCOMPARE(heard_.size(), mark);
    }
    if (toMs >= 0) {
      player_->setPosition(toMs);
    }
    source ? play(tone) : player_->play();
    const qint64 startMs = source ? 500 : 0;
    // Qt's GStreamer player now and then ends a source switched to during playback at once, at
    // its start; a user presses play again, and so does the test.
    const auto endedAtOnce = [this] {
      return player_->mediaStatus() == QMediaPlayer::EndOfMedia && player_->position() < 1000;
    };
    QVERIFY(waitFor([&] { return heardFrom(startMs, mark) || endedAtOnce(); }));
    if (!heardFrom(startMs, mark) && source) {
      heard_.remove(mark, heard_.size() - mark); // what the cut-short start gave
      player_->play();
    }
    QVERIFY(waitForStartAtLeast(startMs, mark));

    const qint64 first = heard_.at(mark).startUs;
    if (toMs >= 0) { // the first buffer comes from the seek's target, not from where playback was
      QVERIFY(std::abs(first - toMs * 1000) < std::abs(fromMs - toMs) * 1000 / 2);
    } else if (source) { // nothing of the silence is heard once the tone has taken over
      QVERIFY(
          std::all_of(heard_.cbegin(), heard_.cbegin() + mark, [](const Heard& h) { return h.peak == 0; }));
      QVERIFY(std::all_of(heard_.cbegin() + mark, heard_.cend(), [](const Heard& h) { return h.peak > 0; }));
    } else { // a pause goes on where it was, a stop starts again from the beginning
      QCOMPARE(first < heard_.at(mark - 1).startUs, change == u"stop"_s);
    }
    verifyInStep(mark);
  }

  // An hour of audio decodes in a few seconds: reading ahead of playback would soon hold all
  // of it. Seeking close to the end reads through the whole track, which takes some seconds
  // of the time left to play.
  void memoryStaysBoundedForAnHour() {
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("AddressSanitizer keeps freed memory in quarantine: resident memory says nothing here");
#endif
    const QString path = makeAudio(u"hour.wav"_s, u"sine=frequency=440:sample_rate=8000"_s, 3600);
    QVERIFY(!path.isEmpty());
    play(path);
    QVERIFY(waitForStartAtLeast(0));
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
    QVERIFY2(peak - baseline < decodedHour / 10, qPrintable(u"grew by %1 bytes"_s.arg(peak - baseline)));
    verifyInStep();
  }
};

QTEST_MAIN(TestAudioBufferOutput)
#include "tst_audiobufferoutput.moc"
