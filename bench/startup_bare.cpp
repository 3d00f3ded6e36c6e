// The yardstick: a bare Qt Widgets window of the same size, started the same way.
#include "startup_probe.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(251, 271);
    ShownProbe probe(&window);
    window.show();
    return app.exec();
}
