// The title window started as the program starts it, ending once it is on the screen.
#include "platform/appsetup.h"
#include "startup_probe.h"
#include "title/form2.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    platform::setupApplication(app);
    Form2 title;
    ShownProbe probe(&title);
    title.show();
    return app.exec();
}
