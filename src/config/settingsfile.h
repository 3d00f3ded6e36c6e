#pragma once

#include <QString>

#include <cstdint>
#include <optional>

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
// The same for the file's contents.
std::optional<Position> parse(const QByteArray& text);

// The line the file holds for the current settings and the given position.
QByteArray line(double left, double top);

// Writes the file whole or not at all: a new file beside it replaces the old one only once it
// is complete and on the disk. Through a link the link's target is written; anything else that
// is not a regular file is left alone. Where the folder cannot be written, an existing file is
// rewritten in place. Returns an empty string on success, else the reason, in Japanese.
QString save(const QString& file, double left, double top);

// Why a save failed, in Japanese, from the system's error number.
QString failureReason(int error);

// The rename that puts a finished file in place: ::rename, unless a test needs it to fail.
using RenameFunction = int (*)(const char* from, const char* to);
extern RenameFunction renameFile;

} // namespace SettingsFile
