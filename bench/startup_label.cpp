// A second yardstick: the bare window with one line of Japanese text, so the font set-up
// that any window showing text pays is on both sides.
#include "startup_probe.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("最高得点"));
    window.setFixedSize(251, 271);
    ShownProbe probe(&window);
    window.show();
    return app.exec();
}
