#include "platform/appsetup.h"

#include "platform/keystate.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {
QtMessageHandler qtHandler = nullptr;
bool starting = false;

void startHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (qtHandler) qtHandler(type, context, message);
    if (starting && type == QtFatalMsg) {
        std::fputs("ゾルベク: 画面（ディスプレイ）を開けませんでした。"
                   "デスクトップの中から起動してください。\n",
                   stderr);
        std::_Exit(1);
    }
}
} // namespace

void exitQuietlyWithoutDisplay() {
    starting = true;
    qtHandler = qInstallMessageHandler(startHandler);
}

void setupApplication(QApplication& app) {
    starting = false;
    // Nothing on a Linux desktop answers to these names; the IPA fonts are their nearest kin.
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐ明朝"), QStringLiteral("IPAPMincho"));
    QFont::insertSubstitution(QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"));
    QApplication::setFont(QFont(QStringLiteral("ＭＳ Ｐゴシック"), 9));

    // Standard buttons (OK, Cancel, Yes, No) in Japanese whatever the user's locale.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);

    QIcon icon; // every window shows the program icon
    icon.addFile(QStringLiteral(":/icon64.png"));
    icon.addFile(QStringLiteral(":/icon32.png"));
    icon.addFile(QStringLiteral(":/icon16.png"));
    QApplication::setWindowIcon(icon);
    app.setApplicationName(QStringLiteral("bralun"));
    app.setApplicationDisplayName(QString());
    installKeyStateTracker(&app);
}

} // namespace platform
