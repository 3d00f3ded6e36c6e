// Random clicks, keys, close requests and clock jumps across every window of the program,
// seeded so a failure can be replayed:  monkey [events] [seed]  (or MONKEY_EVENTS, MONKEY_SEED).
#include "config/module1.h"
#include "game/form1.h"
#include "player.h"
#include "testsupport.h"
#include "title/form2.h"

#include <QApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>

namespace {

// Each with its modifiers (only Alt here) in the high bits, as Qt combines them.
constexpr int Alt = Qt::AltModifier;
const int keys[] = {Qt::Key_Return,  Qt::Key_Enter,   Qt::Key_Space,   Qt::Key_Escape,  Qt::Key_Tab,
                    Qt::Key_Backtab, Qt::Key_Right,   Qt::Key_Down,    Qt::Key_Left,    Qt::Key_Up,
                    Qt::Key_1,       Qt::Key_5,       Qt::Key_9,       Qt::Key_0,       Qt::Key_W,
                    Qt::Key_Q,       Qt::Key_A,       Qt::Key_S,       Qt::Key_D,       Qt::Key_F,
                    Qt::Key_Z,       Qt::Key_X,       Qt::Key_C,       Qt::Key_Y,       Qt::Key_N,
                    Qt::Key_PageUp,  Qt::Key_End,     Alt | Qt::Key_O, Alt | Qt::Key_H, Alt | Qt::Key_C,
                    Alt | Qt::Key_Y, Alt | Qt::Key_N, Alt | Qt::Key_F4};

class Monkey : public monkey::Driver {
  public:
    Monkey(testsupport::Environment& env, int events, unsigned seed)
        : Driver(env), events_(events), rng_(seed) {}

    int done = 0;
    QString failure;
    std::map<QString, int> visits; // events per window

  protected:
    bool step() override {
        if (done >= events_ || !failure.isEmpty()) return false;
        ++done;
        QWidget* top = pickWindow();
        if (!top) return true; // between a title closing and the next one
        ++visits[top->objectName().isEmpty() ? top->metaObject()->className() : top->objectName()];
        const int roll = pick(100);
        if (roll < 36)
            clickSomewhere(top);
        else if (roll < 66)
            pressKey(top);
        else if (roll < 73)
            env().advance(static_cast<std::uint32_t>(pick(20000)));
        else if (roll < 76)
            top->close(); // as a window manager's close box: only a window that takes input gets it
        else
            gamesFinished += playRight(top) ? 1 : 0;
        checkSavedFile();
        return true;
    }

  private:
    // The window on top when one is modal; otherwise any shown window (title, help).
    QWidget* pickWindow() {
        QWidget* top = topWindow();
        if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) return top;
        QList<QWidget*> windows;
        if (top) windows << top;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w != top && w->isVisible() && w->windowType() != Qt::ToolTip) windows << w;
        }
        return windows.isEmpty() ? nullptr : windows[pick(static_cast<int>(windows.size()))];
    }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

    // Any visible, enabled widget of the window, at any point inside it.
    void clickSomewhere(QWidget* top) {
        QList<QWidget*> targets{top};
        for (QWidget* w : top->findChildren<QWidget*>()) {
            if (w->isVisible() && w->isEnabled() && w->window() == top) targets << w;
        }
        QWidget* target = targets[pick(static_cast<int>(targets.size()))];
        const QPoint at(pick(std::max(1, target->width())), pick(std::max(1, target->height())));
        const Qt::MouseButton button = pick(8) == 0 ? Qt::RightButton : Qt::LeftButton;
        if (pick(10) == 0)
            QTest::mouseMove(target, at);
        else
            QTest::mouseClick(target, button, {}, at);
    }

    // Keys go where the window's focus is; W and Q are sometimes held down across later moves.
    void pressKey(QWidget* top) {
        QWidget* target = top->focusWidget() ? top->focusWidget() : top;
        const int k = keys[pick(static_cast<int>(std::size(keys)))];
        const auto key = static_cast<Qt::Key>(k & ~Qt::KeyboardModifierMask);
        const auto modifiers = Qt::KeyboardModifiers::fromInt(k & Qt::KeyboardModifierMask);
        const int how = pick(10);
        if (how == 0)
            QTest::keyPress(target, key, modifiers);
        else if (how == 1)
            QTest::keyRelease(target, key, modifiers);
        else
            QTest::keyClick(target, key, modifiers);
    }

    // Every close of the title window leaves one line of twelve numbers.
    void checkSavedFile() {
        if (titlesClosed == checkedCloses_) return;
        checkedCloses_ = titlesClosed;
        const QByteArray saved = env().readFile(QStringLiteral("bralun.ini"));
        static const QRegularExpression line(QStringLiteral("^-?\\d+(,-?\\d+){11}\\r\\n$"));
        if (!line.match(QString::fromLatin1(saved)).hasMatch())
            failure = QStringLiteral("bralun.ini after a close: ") + QString::fromLatin1(saved);
    }

    int events_;
    std::mt19937 rng_;
    int checkedCloses_ = 0;
};

// The offscreen platform's notes on what it cannot do would bury the report.
void quietPlatform(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (text.startsWith(QStringLiteral("This plugin does not support"))) return;
    std::fprintf(stderr, "%s\n", qPrintable(text));
    if (type == QtFatalMsg) std::abort();
}

int argument(char** argv, int argc, int index, const char* variable, int fallback) {
    if (argc > index) return std::atoi(argv[index]);
    const char* value = std::getenv(variable);
    return value ? std::atoi(value) : fallback;
}

} // namespace

int main(int argc, char** argv) {
    const int events = argument(argv, argc, 1, "MONKEY_EVENTS", 3000);
    const auto seed = static_cast<unsigned>(argument(argv, argc, 2, "MONKEY_SEED", 20261206));
    // Said first, so a crash or a sanitizer report can be replayed.
    std::fprintf(stderr, "monkey: %d events, seed %u\n", events, seed);
    QApplication app(argc, argv);
    qInstallMessageHandler(quietPlatform);
    testsupport::Environment env;
    QFile::copy(QStringLiteral(BRALUN_HELP_FILE), env.file(QStringLiteral("bralun.hlp")));
    std::mt19937 games(seed);
    Form1::setSeedSource([&games] { return static_cast<std::uint32_t>(games()); });

    Monkey monkey(env, events, seed);
    monkey.run();
    Form1::setSeedSource({});
    std::printf("monkey: %d events, %d games played to the end, %d title windows closed, seed %u\n",
                monkey.done, monkey.gamesFinished, monkey.titlesClosed, seed);
    for (const auto& [window, count] : monkey.visits) std::printf("  %s: %d\n", qPrintable(window), count);
    if (!monkey.failure.isEmpty()) {
        std::printf("FAILED with seed %u: %s\n", seed, qPrintable(monkey.failure));
        return 1;
    }
    return 0;
}
