#pragma once

#include <QByteArray>
#include <QString>

// The sound buffers and the music of the whole program.
namespace Module2 {

// The complete RIFF images of the wave resources 1000 to 1005.
inline QByteArray Wave1000, Wave1001, Wave1002, Wave1003, Wave1004, Wave1005;

inline QString CurrentMusic; // the music file playing, empty when none

// Copies the six wave resources into Wave1000..Wave1005.
void loadWaves();

// Plays one of the buffers above through the wave player, without waiting.
void playWave(const QByteArray& wave);

void PlayMusic(const QString& FileName);
void StopMusic();

} // namespace Module2
