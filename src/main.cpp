#include "platform/appsetup.h"
#include "platform/audio.h"
#include "title/form2.h"

#include <QApplication>
#include <QStringList>
#include <QTimer>

int main(int argc, char* argv[]) {
    platform::exitQuietlyWithoutDisplay();
    QApplication app(argc, argv);
    platform::setupApplication(app);
    Form2 title;
    QObject::connect(&title, &Form2::programEnds, &app, [] { QCoreApplication::exit(0); });
    title.show();
    // bralun --code CODE: the game window of that code, ready for 開始.
    const QStringList args = QCoreApplication::arguments();
    QTimer::singleShot(0, &title, [&title, args] { title.startFromArguments(args); });
    // The sound device opens once the window is up, so start-up does not wait for it.
    QTimer::singleShot(0, [] { platform::openAudio(); });
    // Sounds stop cleanly rather than being cut mid-buffer by the process ending.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, [] { platform::closeAudio(); });
    return app.exec();
}
