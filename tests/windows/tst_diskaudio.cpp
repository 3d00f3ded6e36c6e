// The effects really reach the sound device, and a new effect cuts off the one playing. SDL's
// disk driver stands in for the sound card: it writes the mixed samples to a file, which the
// test searches for the effects' own samples.

#include "platform/audio.h"
#include "sound/module2.h"
#include "testsupport.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>

namespace {

// An effect as the mixer holds it: converted to the device's format, byte for byte what the
// device gets while it plays alone at full volume.
QByteArray deviceSamples(const QByteArray& wave) {
    SDL_RWops* source = SDL_RWFromConstMem(wave.constData(), static_cast<int>(wave.size()));
    Mix_Chunk* chunk = Mix_LoadWAV_RW(source, 1);
    if (chunk == nullptr) return {};
    QByteArray samples(reinterpret_cast<const char*>(chunk->abuf), static_cast<qsizetype>(chunk->alen));
    Mix_FreeChunk(chunk);
    return samples;
}

bool nonSilent(const QByteArray& samples) {
    return std::any_of(samples.begin(), samples.end(), [](char c) { return c != 0; });
}

} // namespace

class TestDiskAudio : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString output;

    qint64 written() const { return QFileInfo(output).size(); }

    // The device writes in real time; wait until it has taken this much more audio.
    bool waitForDevice(qint64 from, qsizetype bytes) const {
        const QDeadlineTimer deadline(20000);
        while (written() < from + bytes && !deadline.hasExpired()) QTest::qWait(5);
        return written() >= from + bytes;
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        output = dir.filePath("device.raw");
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(output));
        Module2::loadWaves();
    }

    void cleanup() { platform::closeAudio(); }

    void newEffectCutsOffTheOld() {
        // A busy machine may take so long to start the second effect that the first has ended
        // by then, which proves nothing; such a run is repeated.
        for (int attempt = 1;; ++attempt) {
            QVERIFY(platform::openAudio());
            int frequency = 0, channels = 0;
            Uint16 format = 0;
            Mix_QuerySpec(&frequency, &format, &channels);
            const qsizetype second = qsizetype(frequency) * channels * SDL_AUDIO_BITSIZE(format) / 8;
            const QByteArray fanfare = deviceSamples(Module2::Wave1002); // 1.25 s
            const QByteArray click = deviceSamples(Module2::Wave1001);   // 0.05 s
            QVERIFY(nonSilent(fanfare) && nonSilent(click));

            Module2::playWave(Module2::Wave1002);
            QVERIFY(waitForDevice(written(), second / 5)); // about a fifth of a second of it
            Module2::playWave(Module2::Wave1001);
            QVERIFY(waitForDevice(written(), click.size() + second / 10));
            platform::closeAudio();
            QFile file(output);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray device = file.readAll();

            // Where the fanfare began: find a piece from its opening, which surely sounded.
            const qsizetype pieceAt = second / 50 / 4 * 4, pieceLength = second / 25 / 4 * 4;
            const qsizetype found = device.indexOf(fanfare.mid(pieceAt, pieceLength));
            QVERIFY2(found >= 0, "the first effect never reached the device");
            const qsizetype fanfareStart = found - pieceAt;

            // The click follows, whole (an effect reaches the device uninterrupted), and the
            // fanfare sounded unbroken until then.
            const qsizetype clickStart = device.indexOf(click, fanfareStart);
            QVERIFY2(clickStart > fanfareStart, "the second effect was not heard on its own");
            const qsizetype played = clickStart - fanfareStart;
            QCOMPARE(device.mid(fanfareStart, played), fanfare.left(played));

            const qsizetype tail = second / 4;
            if (played >= fanfare.size() - tail) {
                QVERIFY2(attempt < 3, "the first effect was never cut off");
                continue;
            }
            // Nothing of the fanfare after the cut: neither what came next nor its end.
            QCOMPARE(device.indexOf(fanfare.mid(played, second / 50 / 4 * 4)), qsizetype(-1));
            QCOMPARE(device.indexOf(fanfare.right(tail)), qsizetype(-1));
            return;
        }
    }
};

QTEST_MAIN(TestDiskAudio)
#include "tst_diskaudio.moc"
