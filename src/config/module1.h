#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <functional>

// Program-wide settings and records, read and written directly by every window.
namespace Module1 {

inline std::int32_t Level = 0; // 0 初級, 1 中級, 2 上級
inline std::array<std::int32_t, 3> HiScore{};
inline std::int16_t MusicOn = 0;
inline std::int16_t SoundOn = 0;
inline std::int16_t TimeLimit = 0; // tenths of a second
inline std::int16_t SortHai = 0;
inline std::int16_t UpsideDownHai = 0;
inline std::int16_t NotenOK = 0;
inline std::int16_t KeyShortcuts = 0;

inline constexpr std::int16_t StandardTimeLimit = 150;

void setDefaults();
void resetAll(); // back to the all-zero state before the title window loads (tests)

// A record counts only under the standard settings.
bool recordAllowed();

// The program's directory with one trailing separator.
QString AppPath();
// The directory AppPath reports: the executable's, unless a test points it elsewhere.
void setAppDirOverride(const QString& dir);
// "dir" with exactly one trailing separator ("/" stays "/").
QString withTrailingSeparator(QString dir);

// Whether the program may create and replace files in a folder, or rewrite a file. The system
// decides (access W_OK) unless a test sets its own check; an empty check restores the system's.
bool isWritable(const QString& path);
void setWritableCheck(std::function<bool(const QString&)> check);
// Whether the program was installed (its package or `cmake --install` put InstalledMark beside
// it) rather than copied into a folder of its own.
bool isInstalled();
inline constexpr const char* InstalledMark = "bralun.installed";
// The user's configuration folder: $XDG_CONFIG_HOME when it is an absolute path, else
// ~/.config; empty without a home folder.
QString configHome();
// The folder of bralun.ini, with one trailing separator: the program's own for a copy that may
// write there (or rewrite the file already there), else the user's configuration folder.
QString SettingsDir();

} // namespace Module1
