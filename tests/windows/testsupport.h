#pragma once

#include "platform/mci.h"
#include "platform/waveplayer.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QWidget;

namespace testsupport {

// Every window test starts from here: the application set up as the program does it, the
// settings zeroed, the program directory a fresh temporary one, sound and music recorded
// instead of played, and the clock at a time the test sets.
class Environment {
  public:
    Environment();
    ~Environment();

    QString dir() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }
    void writeFile(const QString& name, const QByteArray& contents) const;
    QByteArray readFile(const QString& name) const;

    // Which wave buffer each effect played (1000..1005, or -1 for an unknown image).
    std::vector<int> effects() const;
    void clearEffects();
    // The music commands sent, and the answer the next ones get.
    QStringList mciCommands() const;
    void setMciAnswer(int code);

    // The tick count the windows read.
    std::uint32_t now = 1000;
    void advance(std::uint32_t ms) { now += ms; }

  private:
    QTemporaryDir dir_;
    QByteArray savedConfigHome_;
    QByteArray savedDataHome_;
};

// Runs once a modal window of the given class is showing, then calls act on it; for
// answering message boxes and dialogs opened by the code under test.
void whenModalShows(const char* className, std::function<void(QWidget*)> act);

// Sets an environment variable back to a value qgetenv gave, unset when that was null.
void restoreEnv(const char* name, const QByteArray& value);

} // namespace testsupport
