#include "testsupport.h"

#include "config/module1.h"
#include "platform/appsetup.h"
#include "platform/keystate.h"
#include "platform/tickcount.h"
#include "sound/module2.h"

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <memory>

namespace testsupport {

namespace {

struct Recorder {
    std::vector<int> effects;
    QStringList commands;
    int mciAnswer = 0;
};

Recorder& recorder() {
    static Recorder r;
    return r;
}

int waveNumber(const std::uint8_t* image) {
    const QByteArray* waves[] = {&Module2::Wave1000, &Module2::Wave1001, &Module2::Wave1002,
                                 &Module2::Wave1003, &Module2::Wave1004, &Module2::Wave1005};
    for (int i = 0; i < 6; ++i) {
        if (!waves[i]->isEmpty() && reinterpret_cast<const std::uint8_t*>(waves[i]->constData()) == image)
            return 1000 + i;
    }
    return -1;
}

class RecordingWaves : public platform::WaveOutput {
  public:
    bool play(const std::uint8_t* image, unsigned) override {
        recorder().effects.push_back(waveNumber(image));
        return true;
    }
};

class RecordingMci : public platform::MciDevice {
  public:
    int send(const std::string& command) override {
        recorder().commands << QString::fromStdString(command);
        return recorder().mciAnswer;
    }
};

} // namespace

Environment::Environment() {
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        static bool once = false;
        if (!once) platform::setupApplication(*app);
        // Closing a test's last window must not end the test program.
        QGuiApplication::setQuitOnLastWindowClosed(false);
        once = true;
    }
    Module1::resetAll();
    Module2::CurrentMusic.clear();
    Module1::setAppDirOverride(dir_.path());
    // Whatever a test saves stays in its own folder, never in the user's configuration.
    savedConfigHome_ = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir_.filePath(QStringLiteral("config"))));
    // Nor does any history reach the user's data folder.
    savedDataHome_ = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir_.filePath(QStringLiteral("data"))));
    recorder() = Recorder{};
    platform::setWaveOutput(std::make_unique<RecordingWaves>());
    platform::setMciDevice(std::make_unique<RecordingMci>());
    platform::setTickSource([this] { return now; });
    platform::releaseAllKeys();
}

Environment::~Environment() {
    platform::setTickSource({});
    platform::setWaveOutput(nullptr);
    platform::setMciDevice(nullptr);
    Module1::setAppDirOverride(QString());
    restoreEnv("XDG_CONFIG_HOME", savedConfigHome_);
    restoreEnv("XDG_DATA_HOME", savedDataHome_);
    platform::releaseAllKeys();
}

void Environment::writeFile(const QString& name, const QByteArray& contents) const {
    QFile f(file(name));
    if (f.open(QIODevice::WriteOnly)) f.write(contents);
}

QByteArray Environment::readFile(const QString& name) const {
    QFile f(file(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::vector<int> Environment::effects() const {
    return recorder().effects;
}
void Environment::clearEffects() {
    recorder().effects.clear();
}
QStringList Environment::mciCommands() const {
    return recorder().commands;
}
void Environment::setMciAnswer(int code) {
    recorder().mciAnswer = code;
}

void whenModalShows(const char* className, std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    const QByteArray name(className);
    QObject::connect(timer, &QTimer::timeout, [timer, name, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->inherits(name.constData()) && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            act(modal);
        }
    });
    timer->start();
}

void restoreEnv(const char* name, const QByteArray& value) {
    if (value.isNull())
        qunsetenv(name);
    else
        qputenv(name, value);
}

} // namespace testsupport
