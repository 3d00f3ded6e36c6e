#include "sound/module2.h"

#include "platform/mci.h"
#include "platform/waveplayer.h"

#include <QFile>
#include <QFileInfo>

#include <cstdint>

namespace Module2 {

void loadWaves() {
    QByteArray* const buffers[] = {&Wave1000, &Wave1001, &Wave1002, &Wave1003, &Wave1004, &Wave1005};
    int number = 1000;
    for (QByteArray* buffer : buffers) {
        QFile resource(QStringLiteral(":/wave/%1.wav").arg(number++));
        // A missing resource leaves the buffer empty, and that effect silent.
        *buffer = resource.open(QIODevice::ReadOnly) ? resource.readAll() : QByteArray();
    }
}

void playWave(const QByteArray& wave) {
    // The wave player trusts the RIFF size in the header; never let it read past the buffer.
    if (wave.size() < 12) return;
    const auto* image = reinterpret_cast<const std::uint8_t*>(wave.constData());
    const qint64 riffSize = static_cast<qint64>(image[4]) | static_cast<qint64>(image[5]) << 8 |
                            static_cast<qint64>(image[6]) << 16 | static_cast<qint64>(image[7]) << 24;
    if (riffSize + 8 > wave.size()) return;
    platform::sndPlaySoundA(image, platform::SND_MEMORY | platform::SND_NODEFAULT | platform::SND_ASYNC);
}

namespace {
constexpr qint64 MaxSongSize = 16 << 20; // bralun.mid is some five kilobytes
} // namespace

void PlayMusic(const QString& FileName) {
    // A copy: the caller may pass CurrentMusic itself, which StopMusic clears.
    const QString name = FileName;
    if (!CurrentMusic.isEmpty()) StopMusic();
    // Only a regular file the size of a song: a FIFO would hold the player up, a huge file the memory.
    const QFileInfo file(name);
    if (!file.isFile() || file.size() > MaxSongSize) return;
    char reply[512];
    const int answer = platform::mciSendStringA("play " + QFile::encodeName(name).toStdString(), reply,
                                                sizeof reply, nullptr);
    if (answer != platform::MCIERR_SEQ_PORT_INUSE) CurrentMusic = name;
}

void StopMusic() {
    char reply[512];
    platform::mciSendStringA("stop " + QFile::encodeName(CurrentMusic).toStdString(), reply, sizeof reply,
                             nullptr);
    CurrentMusic.clear();
}

} // namespace Module2
