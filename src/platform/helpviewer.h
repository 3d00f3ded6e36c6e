#pragma once

#include <QString>

class QWidget;

namespace platform {

inline constexpr unsigned HELP_CONTENTS = 3;

// Opens the help file (HTML) at its contents in the program's help window, owned by the
// given window. A missing or unreadable file is reported in that window, in Japanese.
bool WinHelpA(QWidget* owner, const QString& helpFile, unsigned command, unsigned long data);

} // namespace platform
