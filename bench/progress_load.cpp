// What the first 成績 of a run adds: the module and Qt Charts with the OpenGL libraries it needs
// loaded and every symbol resolved, as the title window does on first use. One load a process:
//   progress_load [module]   (default: bralun-progress.so in the folder above this program)
#include <QApplication>
#include <QElapsedTimer>
#include <QLibrary>

#include <cstdio>

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString file = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                  : QCoreApplication::applicationDirPath() + "/../bralun-progress.so";
    QElapsedTimer clock;
    clock.start();
    QLibrary module(file);
    module.setLoadHints(QLibrary::ResolveAllSymbolsHint);
    if (!module.resolve("bralun_progress_open")) {
        std::fprintf(stderr, "%s\n", qPrintable(module.errorString()));
        return 1;
    }
    std::printf("%.2f ms\n", double(clock.nsecsElapsed()) / 1e6);
    return 0;
}
