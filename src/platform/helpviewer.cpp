#include "platform/helpviewer.h"

#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr qsizetype MaxHelpSize = 1 << 20; // the real help is some ten kilobytes

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

// The help text: only a regular file, opened without waiting on a FIFO, and no larger than any
// help text is; else nothing and why, in Japanese.
std::optional<QByteArray> readHelp(const QString& path, QString* why) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *why = QString::fromLocal8Bit(std::strerror(errno));
        return std::nullopt;
    }
    struct stat st {};
    std::optional<QByteArray> text;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        *why = QStringLiteral("通常のファイルではありません");
    } else {
        QByteArray data(MaxHelpSize + 1, Qt::Uninitialized);
        qsizetype got = 0;
        while (got < data.size()) {
            const ssize_t n = ::read(fd, data.data() + got, static_cast<size_t>(data.size() - got));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            got += n;
        }
        if (got > MaxHelpSize)
            *why = QStringLiteral("ファイルが大きすぎます");
        else
            text = data.left(got);
    }
    ::close(fd);
    return text;
}

} // namespace

bool WinHelpA(QWidget* owner, const QString& helpFile, unsigned command, unsigned long data) {
    Q_UNUSED(data);
    if (command != HELP_CONTENTS) return false;
    static QPointer<HelpWindow> window;
    if (!window) window = new HelpWindow(owner);

    QString why;
    const auto text = readHelp(helpFile, &why);
    if (text) {
        window->browser->setSearchPaths({QFileInfo(helpFile).absolutePath()});
        window->browser->setHtml(QString::fromUtf8(*text));
    } else {
        window->browser->setHtml(
            QStringLiteral("<h3>ヘルプファイルを開けません</h3>"
                           "<p>ヘルプファイル「%1」が見つからないか、読み込めません。</p>"
                           "<p>（%2）</p>")
                .arg(helpFile.toHtmlEscaped(), why.toHtmlEscaped()));
    }
    window->show();
    window->raise();
    window->activateWindow();
    return text.has_value();
}

} // namespace platform
