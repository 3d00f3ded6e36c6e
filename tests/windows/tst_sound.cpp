// The sound effects and the music: what the program hands to the wave player and the media
// commands it sends, the wave resources themselves, and the real players without a device.

#include "platform/audio.h"
#include "platform/mci.h"
#include "platform/waveplayer.h"
#include "sound/module2.h"
#include "testsupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

struct MciLog {
    std::vector<std::string> commands;
    int answer = 0;
};

class RecordingMci : public platform::MciDevice {
  public:
    explicit RecordingMci(std::shared_ptr<MciLog> log) : log_(std::move(log)) {}
    int send(const std::string& command) override {
        log_->commands.push_back(command);
        return log_->answer;
    }

  private:
    std::shared_ptr<MciLog> log_;
};

struct WaveCall {
    const std::uint8_t* image;
    unsigned flags;
};

class RecordingWaveOutput : public platform::WaveOutput {
  public:
    explicit RecordingWaveOutput(std::shared_ptr<std::vector<WaveCall>> calls) : calls_(std::move(calls)) {}
    bool play(const std::uint8_t* image, unsigned flags) override {
        calls_->push_back({image, flags});
        return true;
    }

  private:
    std::shared_ptr<std::vector<WaveCall>> calls_;
};

std::uint32_t le32(const QByteArray& b, qsizetype at) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(b.constData() + at);
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint16_t le16(const QByteArray& b, qsizetype at) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(b.constData() + at);
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

struct Chunk {
    QByteArray id;
    qsizetype offset; // of the chunk's data
    std::uint32_t size;
};

// The chunks after the RIFF/WAVE header; empty when a chunk runs past the end.
std::vector<Chunk> chunksOf(const QByteArray& image) {
    std::vector<Chunk> chunks;
    qsizetype at = 12;
    while (at + 8 <= image.size()) {
        const std::uint32_t size = le32(image, at + 4);
        if (at + 8 + size > image.size()) return {};
        chunks.push_back({image.mid(at, 4), at + 8, size});
        at += 8 + size + (size % 2);
    }
    return chunks;
}

QByteArray& waveBuffer(int number) {
    QByteArray* const buffers[] = {&Module2::Wave1000, &Module2::Wave1001, &Module2::Wave1002,
                                   &Module2::Wave1003, &Module2::Wave1004, &Module2::Wave1005};
    return *buffers[number - 1000];
}

const std::uint8_t* bytes(const QByteArray& b) {
    return reinterpret_cast<const std::uint8_t*>(b.constData());
}

QString musicFile() {
    return QFINDTESTDATA("../../resources/bralun.mid");
}

} // namespace

class TestSound : public QObject {
    Q_OBJECT

    std::shared_ptr<MciLog> mci;
    std::shared_ptr<std::vector<WaveCall>> waves;
    QTemporaryDir dir;

    QString existingFile(const QString& name) {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::WriteOnly)) qFatal("cannot write a test file");
        f.write("MThd");
        return f.fileName();
    }
    static std::string play(const QString& name) { return "play " + name.toStdString(); }
    static std::string stop(const QString& name) { return "stop " + name.toStdString(); }

  private slots:
    void initTestCase() {
        if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER")) qputenv("SDL_AUDIODRIVER", "dummy");
        QVERIFY(dir.isValid());
        Module2::loadWaves();
    }

    void init() {
        Module2::CurrentMusic.clear();
        mci = std::make_shared<MciLog>();
        waves = std::make_shared<std::vector<WaveCall>>();
        platform::setMciDevice(std::make_unique<RecordingMci>(mci));
        platform::setWaveOutput(std::make_unique<RecordingWaveOutput>(waves));
    }

    void cleanup() {
        platform::setMciDevice(nullptr);
        platform::setWaveOutput(nullptr);
        platform::closeAudio();
        Module2::CurrentMusic.clear();
    }

    // --- Music through the command seam

    void playMusicOfMissingFileSendsNothing() {
        Module2::PlayMusic(dir.filePath("bralun.mid"));
        QVERIFY(mci->commands.empty());
        QVERIFY(Module2::CurrentMusic.isEmpty());

        // A directory of that name is no music file either.
        QVERIFY(QDir(dir.path()).mkpath("folder.mid"));
        Module2::PlayMusic(dir.filePath("folder.mid"));
        QVERIFY(mci->commands.empty());
    }

    void playMusicRecordsTheNameUnlessBusy_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("recorded");
        QTest::newRow("success") << 0 << true;
        QTest::newRow("file refused") << 275 << true;
        QTest::newRow("other failure") << 263 << true;
        QTest::newRow("device busy") << platform::MCIERR_SEQ_PORT_INUSE << false;
    }
    void playMusicRecordsTheNameUnlessBusy() {
        QFETCH(int, answer);
        QFETCH(bool, recorded);
        const QString file = existingFile("bralun.mid");
        mci->answer = answer;
        Module2::PlayMusic(file);
        QCOMPARE(mci->commands, std::vector<std::string>{play(file)});
        QCOMPARE(Module2::CurrentMusic, recorded ? file : QString());
    }

    void playMusicWhilePlayingStopsFirst() {
        const QString first = existingFile("first.mid");
        const QString second = existingFile("second.mid");
        Module2::PlayMusic(first);
        Module2::PlayMusic(second);
        QCOMPARE(mci->commands, (std::vector<std::string>{play(first), stop(first), play(second)}));
        QCOMPARE(Module2::CurrentMusic, second);

        // The stop comes first even when the new file turns out to be missing.
        mci->commands.clear();
        Module2::PlayMusic(dir.filePath("gone.mid"));
        QCOMPARE(mci->commands, std::vector<std::string>{stop(second)});
        QVERIFY(Module2::CurrentMusic.isEmpty());
    }

    void playMusicOfTheCurrentNameRestartsIt() {
        const QString file = existingFile("bralun.mid");
        Module2::PlayMusic(file);
        Module2::PlayMusic(Module2::CurrentMusic); // the argument aliases what StopMusic clears
        QCOMPARE(mci->commands, (std::vector<std::string>{play(file), stop(file), play(file)}));
        QCOMPARE(Module2::CurrentMusic, file);
    }

    void stopMusicSendsStopEvenWithoutMusic() {
        Module2::StopMusic();
        QCOMPARE(mci->commands, std::vector<std::string>{"stop "});
        QVERIFY(Module2::CurrentMusic.isEmpty());

        const QString file = existingFile("bralun.mid");
        Module2::PlayMusic(file);
        mci->answer = 263; // a failing stop changes nothing
        Module2::StopMusic();
        QCOMPARE(mci->commands.back(), stop(file));
        QVERIFY(Module2::CurrentMusic.isEmpty());
    }

    // --- The wave resources

    void wavesMatchTheResourceTable_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("fileSize");
        QTest::addColumn<QByteArrayList>("chunkIds");
        QTest::addColumn<int>("audioBytes");
        const QByteArrayList plain = {"fmt ", "data"}, withFact = {"fmt ", "fact", "data"};
        QTest::newRow("1000 wrong answer") << 1000 << 33120 << plain << 33074;
        QTest::newRow("1001 click") << 1001 << 2312 << withFact << 2254;
        QTest::newRow("1002 new record") << 1002 << 55168 << plain << 55124;
        QTest::newRow("1003 right answer") << 1003 << 44144 << plain << 44100;
        QTest::newRow("1004 level chosen") << 1004 << 44144 << plain << 44100;
        QTest::newRow("1005 clock tick") << 1005 << 6768 << withFact << 6712;
    }
    void wavesMatchTheResourceTable() {
        QFETCH(int, number);
        QFETCH(int, fileSize);
        QFETCH(QByteArrayList, chunkIds);
        QFETCH(int, audioBytes);
        const QByteArray& w = waveBuffer(number);
        QCOMPARE(w.size(), fileSize);
        QCOMPARE(w.left(4), QByteArray("RIFF"));
        QCOMPARE(le32(w, 4), std::uint32_t(fileSize - 8));
        QCOMPARE(w.mid(8, 4), QByteArray("WAVE"));

        const std::vector<Chunk> chunks = chunksOf(w);
        QByteArrayList ids;
        for (const Chunk& c : chunks) ids << c.id;
        QCOMPARE(ids, chunkIds);

        const Chunk& fmt = chunks.front();
        QVERIFY(fmt.size >= 16);
        QCOMPARE(le16(w, fmt.offset), std::uint16_t(1));         // PCM
        QCOMPARE(le16(w, fmt.offset + 2), std::uint16_t(2));     // channels
        QCOMPARE(le32(w, fmt.offset + 4), std::uint32_t(22050)); // samples per second
        QCOMPARE(le32(w, fmt.offset + 8), std::uint32_t(44100)); // bytes per second
        QCOMPARE(le16(w, fmt.offset + 12), std::uint16_t(2));    // block align
        QCOMPARE(le16(w, fmt.offset + 14), std::uint16_t(8));    // bits per sample
        const Chunk& data = chunks.back();
        QCOMPARE(data.size, std::uint32_t(audioBytes));
        if (chunks.size() == 3) QCOMPARE(le32(w, chunks[1].offset), std::uint32_t(audioBytes / 2)); // frames

        // Audible but never clipping, and starting and ending on silence so no click is heard.
        const auto* samples = bytes(w) + data.offset;
        int low = 255, high = 0;
        for (std::uint32_t i = 0; i < data.size; ++i) {
            low = std::min<int>(low, samples[i]);
            high = std::max<int>(high, samples[i]);
        }
        QVERIFY2(high - low >= 32, "the effect is nearly silent");
        QVERIFY2(low >= 32 && high <= 224, "the effect is too loud");
        for (std::uint32_t i : {0u, 1u, data.size - 2, data.size - 1}) QCOMPARE(int(samples[i]), 128);
    }

    // --- Effects through the wave player seam

    void playWaveHandsTheWholeImageToThePlayer() {
        Module2::playWave(Module2::Wave1003);
        Module2::playWave(Module2::Wave1001);
        QCOMPARE(waves->size(), std::size_t(2));
        QCOMPARE((*waves)[0].image, bytes(Module2::Wave1003));
        QCOMPARE((*waves)[1].image, bytes(Module2::Wave1001));
        for (const WaveCall& call : *waves) QCOMPARE(call.flags, 7u);
    }

    void playWaveSkipsImagesShorterThanTheirHeaderSays() {
        Module2::playWave(QByteArray());
        Module2::playWave(QByteArray("RIFF"));
        Module2::playWave(Module2::Wave1002.left(Module2::Wave1002.size() - 1));
        QVERIFY(waves->empty());
    }

    // --- The real players, on the dummy device the tests run with

    void wavePlayerPlaysAndCutsOff() {
        platform::setWaveOutput(nullptr);
        QVERIFY(platform::sndPlaySoundA(bytes(Module2::Wave1002), 7)); // opens the device itself
        QVERIFY(platform::sndPlaySoundA(bytes(Module2::Wave1001), 7)); // cuts off and frees the first
        QTest::qWait(20);
        QVERIFY(platform::sndPlaySoundA(bytes(Module2::Wave1005), 7));

        QVERIFY(!platform::sndPlaySoundA(nullptr, 7));
        const QByteArray notAWave(64, 'x');
        QVERIFY(!platform::sndPlaySoundA(bytes(notAWave), 7));
        QVERIFY(!platform::sndPlaySoundA(bytes(Module2::Wave1003), 1)); // not an image in memory

        platform::closeAudio();
        QVERIFY(platform::sndPlaySoundA(bytes(Module2::Wave1003), 7)); // reopens after a close
    }

    void musicDeviceAnswersTheCommands() {
        platform::setMciDevice(nullptr);
        const QString song = musicFile();
        QVERIFY(!song.isEmpty());
        char reply[512];
        std::memset(reply, 'x', sizeof reply);
        QCOMPARE(platform::mciSendStringA(play(song), reply, sizeof reply, nullptr), 0);
        QCOMPARE(reply[0], '\0');
        QCOMPARE(platform::mciSendStringA(stop(song), reply, sizeof reply, nullptr), 0);

        // Failures other than a busy device have their own non-zero codes.
        for (const std::string& command : {stop(song), std::string("stop "), play(dir.filePath("none.mid")),
                                           std::string("pause ") + song.toStdString()}) {
            const int code = platform::mciSendStringA(command, reply, sizeof reply, nullptr);
            QVERIFY2(code != 0 && code != platform::MCIERR_SEQ_PORT_INUSE, command.c_str());
        }

        Module2::PlayMusic(song);
        QCOMPARE(Module2::CurrentMusic, song);
        Module2::StopMusic();
        QVERIFY(Module2::CurrentMusic.isEmpty());
    }

    void withoutSoundDeviceEverythingIsSilent() {
        platform::setWaveOutput(nullptr);
        platform::setMciDevice(nullptr);
        platform::closeAudio();
        qputenv("SDL_AUDIODRIVER", "no-such-driver");

        QVERIFY(!platform::openAudio());
        QVERIFY(!platform::sndPlaySoundA(bytes(Module2::Wave1003), 7));
        QVERIFY(!platform::sndPlaySoundA(bytes(Module2::Wave1001), 7));
        Module2::playWave(Module2::Wave1000);

        char reply[512];
        QCOMPARE(platform::mciSendStringA(play(musicFile()), reply, sizeof reply, nullptr),
                 platform::MCIERR_SEQ_PORT_INUSE);
        Module2::PlayMusic(musicFile());
        QVERIFY(Module2::CurrentMusic.isEmpty()); // the busy answer leaves no name behind
        Module2::StopMusic();

        // The failure is remembered until the device is closed, then tried afresh.
        qputenv("SDL_AUDIODRIVER", "dummy");
        QVERIFY(!platform::openAudio());
        platform::closeAudio();
        QVERIFY(platform::openAudio());
    }
};

QTEST_MAIN(TestSound)
#include "tst_sound.moc"
