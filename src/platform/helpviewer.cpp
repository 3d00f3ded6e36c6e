#include "platform/helpviewer.h"

#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace platform {

namespace {

// One help window per owner, raised again when help is asked for a second time.
class HelpWindow : public QDialog {
  public:
    explicit HelpWindow(QWidget* owner) : QDialog(owner) {
        setObjectName("HelpWindow");
        setWindowTitle(QStringLiteral("ゾルベク ヘルプ"));
        setAttribute(Qt::WA_DeleteOnClose);
        setWindowFlag(Qt::WindowContextHelpButtonHint, false);
        browser = new QTextBrowser(this);
        browser->setObjectName("HelpText");
        browser->setOpenExternalLinks(false);
        auto* close = new QPushButton(QStringLiteral("閉じる(&C)"), this);
        connect(close, &QPushButton::clicked, this, &QDialog::close);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(browser);
        layout->addWidget(close, 0, Qt::AlignRight);
        resize(520, 560);
    }
    QTextBrowser* browser;
};

} // namespace

bool WinHelpA(QWidget* owner, const QString& helpFile, unsigned command, unsigned long data) {
    Q_UNUSED(data);
    if (command != HELP_CONTENTS) return false;
    static QPointer<HelpWindow> window;
    if (!window) window = new HelpWindow(owner);

    QFile file(helpFile);
    bool ok = file.open(QIODevice::ReadOnly);
    if (ok) {
        window->browser->setSearchPaths({QFileInfo(helpFile).absolutePath()});
        window->browser->setHtml(QString::fromUtf8(file.readAll()));
    } else {
        window->browser->setHtml(
            QStringLiteral("<h3>ヘルプファイルを開けません</h3>"
                           "<p>ヘルプファイル「%1」が見つからないか、読み込めません。</p>"
                           "<p>（%2）</p>")
                .arg(helpFile.toHtmlEscaped(), file.errorString().toHtmlEscaped()));
    }
    window->show();
    window->raise();
    window->activateWindow();
    return ok;
}

} // namespace platform
