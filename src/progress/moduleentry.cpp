#include "progress/progresswindow.h"

namespace progress {

void openWindow(QWidget* parent) {
    ProgressWindow window(programSource(), parent);
    window.exec();
}

} // namespace progress

// What the program resolves in the module on first use.
extern "C" Q_DECL_EXPORT void bralun_progress_open(QWidget* parent) {
    progress::openWindow(parent);
}
