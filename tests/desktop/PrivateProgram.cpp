#include "PrivateProgram.h"

#include "SessionTools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tekkora::testing {

namespace {
}

PrivateProgram::PrivateProgram(const QString &workDirectory)
    : work_(workDirectory)
{
    QDir work(work_);
    for (const char *dir : {"app", "home", "home/.config", "home/.local/share", "home/.cache", "runtime"})
        work.mkpath(QLatin1String(dir));
    QFile::setPermissions(work.filePath(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

PrivateProgram::~PrivateProgram()
{
    stop();
}

QString PrivateProgram::directory() const
{
    return QDir(work_).filePath(QStringLiteral("app"));
}

bool PrivateProgram::launch(const QString &executable, const QProcessEnvironment &display,
                            const QProcessEnvironment &extra)
{
    const QString copy = QDir(directory()).filePath(QFileInfo(executable).fileName());
    QFile::remove(copy);
    if (!QFile::copy(executable, copy)) {
        error_ = QStringLiteral("cannot copy ") + executable;
        return false;
    }
    const QDir work(work_);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Nothing of the desktop the tests run from may leak into the program.
    for (const char *name :
         {"DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET", "QT_QPA_PLATFORM", "DBUS_SESSION_BUS_ADDRESS",
          "XDG_CURRENT_DESKTOP", "XDG_SESSION_TYPE", "DESKTOP_SESSION", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID",
          "QT_QPA_PLATFORMTHEME", "QT_STYLE_OVERRIDE", "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_FONT_DPI",
          "QT_ENABLE_HIGHDPI_SCALING", "XDG_DATA_DIRS", "XDG_CONFIG_DIRS", "XAUTHORITY", "PULSE_SERVER", "PULSE_SINK",
          "PULSE_COOKIE", "PULSE_CLIENTCONFIG", "PULSE_RUNTIME_PATH", "CANBERRA_DRIVER"})
        env.remove(QLatin1String(name));
    env.insert(QStringLiteral("HOME"), work.filePath(QStringLiteral("home")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), work.filePath(QStringLiteral("home/.config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), work.filePath(QStringLiteral("home/.local/share")));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), work.filePath(QStringLiteral("home/.cache")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), work.filePath(QStringLiteral("runtime")));
    env.insert(display);
    env.insert(extra);
    environment_ = env;
    process_.setStandardOutputFile(QProcess::nullDevice());
    return start(process_, copy, {});
}

QProcess *PrivateProgram::launchBeside(const QString &executable, const QStringList &arguments)
{
    const QString copy = QDir(directory()).filePath(QFileInfo(executable).fileName());
    QFile::remove(copy);
    if (!QFile::copy(executable, copy)) {
        error_ = QStringLiteral("cannot copy ") + executable;
        return nullptr;
    }
    others_.push_back(std::make_unique<QProcess>());
    return start(*others_.back(), copy, arguments) ? others_.back().get() : nullptr;
}

bool PrivateProgram::start(QProcess &process, const QString &copy, const QStringList &arguments)
{
    process.setProcessEnvironment(environment_);
    process.setWorkingDirectory(directory());
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    dieWithParent(process);
    process.start(copy, arguments);
    if (!process.waitForStarted(DisplayTimeoutMs)) {
        error_ = QStringLiteral("cannot start ") + copy;
        return false;
    }
    return true;
}

bool PrivateProgram::waitForExit(int timeoutMs)
{
    waitUntil([this] { return process_.state() == QProcess::NotRunning; }, timeoutMs);
    return process_.state() == QProcess::NotRunning && process_.exitStatus() == QProcess::NormalExit;
}

void PrivateProgram::stop()
{
    for (const std::unique_ptr<QProcess> &other : others_)
        stopProcess(*other);
    stopProcess(process_);
}

} // namespace tekkora::testing
