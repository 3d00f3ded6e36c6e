#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <sys/types.h>

// bralun.ini: one line of twelve comma-separated numbers: the three best scores, the title
// window's left and top in twips, then MusicOn, SoundOn, SortHai, UpsideDownHai, TimeLimit,
// NotenOK, KeyShortcuts.
namespace SettingsFile {

struct Position {
    std::int32_t left = 0;
    std::int32_t top = 0;
};

QString path(); // SettingsDir + "bralun.ini"

// Gives the settings their defaults, then reads the file field by field, stopping at the first
// field that is missing or bad. Returns the stored window position when fields 1 to 7 were read.
// Flags other than 0 or 1 and time limits outside 150..600 go back to their defaults.
// Only the first few kilobytes of a regular file are read; anything else reads as missing.
std::optional<Position> load(const QString& file);
// What the program reads at start: bralun.ini where it saves, or, while there is none there
// yet, the one beside the program, so that scores kept there carry over. A bralun.ini.new left
// by a save that was killed is removed first.
std::optional<Position> loadAtStart();
// The same for the file's contents.
std::optional<Position> parse(const QByteArray& text);

// The line the file holds for the current settings and the given position.
QByteArray line(double left, double top);

// Writes the file whole or not at all: a new file beside it, with the old one's permissions,
// replaces the old one only once it is complete and on the disk. Through a link the link's
// target is written; anything else that is not a regular file is left alone. Where the folder
// cannot be written, an existing file is rewritten in place, in steps that each leave a file
// reading as the old settings or the new. Returns an empty string on success, else the
// reason, in Japanese.
QString save(const QString& file, double left, double top);

// Why a save failed, in Japanese, from the system's error number.
QString failureReason(int error);

// The calls that write, flush and put a finished file in place: the system's, unless a test
// needs them to fail or to stop half-way.
using RenameFunction = int (*)(const char* from, const char* to);
extern RenameFunction renameFile;
using WriteFunction = ssize_t (*)(int fd, const void* data, size_t size, off_t offset);
extern WriteFunction writeFile;
using SyncFunction = int (*)(int fd);
extern SyncFunction syncFile;

} // namespace SettingsFile
