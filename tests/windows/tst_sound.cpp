// The sound effects and the music: what the program hands to the wave player and the media
// commands it sends, and the real players on a dummy device and without one.

#include "platform/audio.h"
#include "platform/mci.h"
#include "platform/waveplayer.h"
#include "sound/module2.h"
#include "testsupport.h"

#include <QtTest>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace {

// The images and flags the wave player was handed.
std::vector<std::pair<const std::uint8_t*, unsigned>> played;

class RecordingWaveOutput : public platform::WaveOutput {
  public:
    bool play(const std::uint8_t* image, unsigned flags) override {
        played.emplace_back(image, flags);
        return true;
    }
};

const std::uint8_t* bytes(const QByteArray& b) {
    return reinterpret_cast<const std::uint8_t*>(b.constData());
}

} // namespace

class TestSound : public QObject {
    Q_OBJECT

    std::optional<testsupport::Environment> env; // a program directory holding a.mid and b.mid
    const QString song = QFINDTESTDATA("../../resources/bralun.mid");
    static QString play(const QString& name) { return "play " + name; }
    static QString stop(const QString& name) { return "stop " + name; }

  private slots:
    void initTestCase() {
        if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER")) qputenv("SDL_AUDIODRIVER", "dummy");
        Module2::loadWaves();
    }

    void init() {
        env.emplace();
        env->writeFile("a.mid", "MThd");
        env->writeFile("b.mid", "MThd");
        played.clear();
        platform::setWaveOutput(std::make_unique<RecordingWaveOutput>());
    }

    void cleanup() {
        env.reset();
        platform::closeAudio();
    }

    // --- Music through the command seam

    // Nothing for a missing file, a folder, a FIFO (opening it would wait) or one no song is so large
    // as; else the name is kept unless the device is busy.
    void playMusicRecordsTheNameOfAPlayableFileUnlessTheDeviceIsBusy() {
        QVERIFY(QDir(env->dir()).mkpath("folder.mid"));
        QCOMPARE(::mkfifo(QFile::encodeName(env->file("fifo.mid")).constData(), 0644), 0);
        QFile huge(env->file("huge.mid"));
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(qint64(1) << 30));
        for (const char* name : {"none.mid", "folder.mid", "fifo.mid", "huge.mid"})
            Module2::PlayMusic(env->file(name));
        QVERIFY(env->mciCommands().isEmpty() && Module2::CurrentMusic.isEmpty());
        const QString file = env->file("a.mid");
        for (int answer : {0, 275, 263, platform::MCIERR_SEQ_PORT_INUSE}) {
            Module2::CurrentMusic.clear();
            env->setMciAnswer(answer);
            Module2::PlayMusic(file);
            QCOMPARE(Module2::CurrentMusic, answer == platform::MCIERR_SEQ_PORT_INUSE ? QString() : file);
        }
        QCOMPARE(env->mciCommands(), QStringList(4, play(file)));
    }

    // A stop is sent whatever plays, and the name is forgotten whatever the answer.
    void playMusicStopsWhatPlaysFirst() {
        Module2::StopMusic();
        const QString first = env->file("a.mid"), second = env->file("b.mid");
        Module2::PlayMusic(first);
        Module2::PlayMusic(second);
        Module2::PlayMusic(Module2::CurrentMusic); // the argument aliases what StopMusic clears
        QCOMPARE(Module2::CurrentMusic, second);
        // The stop comes first even when the new file turns out to be missing.
        Module2::PlayMusic(env->file("gone.mid"));
        QVERIFY(Module2::CurrentMusic.isEmpty());
        Module2::PlayMusic(first);
        env->setMciAnswer(263);
        Module2::StopMusic();
        QCOMPARE(env->mciCommands(),
                 QStringList({"stop ", play(first), stop(first), play(second), stop(second), play(second),
                              stop(second), play(first), stop(first)}));
        QVERIFY(Module2::CurrentMusic.isEmpty());
    }

    // --- Effects through the wave player seam

    void playWaveHandsTheWholeImageToThePlayerWithoutWaiting() {
        Module2::playWave(Module2::Wave1003);
        Module2::playWave(Module2::Wave1001);
        // Images shorter than their header says are never handed over.
        for (const QByteArray& bad : {QByteArray(), QByteArray("RIFF"), Module2::Wave1002.chopped(1)})
            Module2::playWave(bad);
        const unsigned flags = platform::SND_MEMORY | platform::SND_NODEFAULT | platform::SND_ASYNC;
        QCOMPARE(played,
                 (decltype(played){{bytes(Module2::Wave1003), flags}, {bytes(Module2::Wave1001), flags}}));
    }

    // --- The real players, on the dummy device the tests run with

    void realPlayersAnswerOnTheDummyDeviceAndAreSilentWithout() {
        platform::setWaveOutput(nullptr);
        platform::setMciDevice(nullptr);
        // Opens the device itself; each effect cuts off and frees the one before.
        for (const QByteArray& wave : {Module2::Wave1000, Module2::Wave1001, Module2::Wave1002,
                                       Module2::Wave1003, Module2::Wave1004, Module2::Wave1005})
            QVERIFY(platform::sndPlaySoundA(bytes(wave), 7));
        QVERIFY(!platform::sndPlaySoundA(nullptr, 7));
        QVERIFY(!platform::sndPlaySoundA(bytes(QByteArray(64, 'x')), 7));
        QVERIFY(!platform::sndPlaySoundA(bytes(Module2::Wave1003), 1)); // not an image in memory
        platform::closeAudio();
        QVERIFY(platform::sndPlaySoundA(bytes(Module2::Wave1003), 7)); // reopens after a close

        char reply[512];
        std::memset(reply, 'x', sizeof reply);
        QCOMPARE(platform::mciSendStringA(play(song).toStdString(), reply, sizeof reply, nullptr), 0);
        QCOMPARE(reply[0], '\0');
        QCOMPARE(platform::mciSendStringA(stop(song).toStdString(), reply, sizeof reply, nullptr), 0);
        // Failures other than a busy device have their own non-zero codes.
        for (const QString& command : {stop(song), stop(""), play(env->file("none.mid")), "pause " + song}) {
            const int code = platform::mciSendStringA(command.toStdString(), reply, sizeof reply, nullptr);
            QVERIFY2(code != 0 && code != platform::MCIERR_SEQ_PORT_INUSE, qPrintable(command));
        }

        // Without a sound device everything is silent.
        platform::closeAudio();
        qputenv("SDL_AUDIODRIVER", "no-such-driver");
        QVERIFY(!platform::openAudio());
        QVERIFY(!platform::sndPlaySoundA(bytes(Module2::Wave1003), 7));
        QCOMPARE(platform::mciSendStringA(play(song).toStdString(), reply, sizeof reply, nullptr),
                 platform::MCIERR_SEQ_PORT_INUSE);

        // The failure is remembered until the device is closed, then tried afresh.
        qputenv("SDL_AUDIODRIVER", "dummy");
        QVERIFY(!platform::openAudio());
        platform::closeAudio();
        QVERIFY(platform::openAudio());
    }
};

QTEST_MAIN(TestSound)
#include "tst_sound.moc"
