#include "PulseSession.h"

#include "SessionTools.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QStandardPaths>

namespace tekkora::testing {

PulseSession::PulseSession()
{
    // Clients reach this server or none: never one they would start.
    const QByteArray client = "autospawn = no\ndefault-server = unix:" + path("native").toLocal8Bit() + "\n";
    if (!work_.isValid() || !writeAll(path("client.conf"), client))
        error_ = QStringLiteral("cannot write into ") + work_.path();
}

PulseSession::~PulseSession()
{
    stop();
}

QString PulseSession::missingTool() const
{
    for (const char *tool : {"pulseaudio", "pactl"})
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            return QLatin1String(tool);
    return {};
}

QString PulseSession::path(const char *name) const
{
    return QDir(work_.path()).filePath(QLatin1String(name));
}

bool PulseSession::start()
{
    if (!error_.isEmpty())
        return false;
    QDir(work_.path()).mkpath(QStringLiteral("home"));
    // No default.pa: no card, udev or Bluetooth modules, only the null sink.
    const QByteArray script = "load-module module-native-protocol-unix socket=" + path("native").toLocal8Bit()
                              + " auth-anonymous=1\n"
                                "load-module module-null-sink sink_name=tekkora_null rate=44100 channels=2\n"
                                "set-default-sink tekkora_null\n"
                                "set-default-source tekkora_null.monitor\n";
    if (!writeAll(path("null.pa"), script)) {
        error_ = QStringLiteral("cannot write into ") + work_.path();
        return false;
    }
    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
    env.insert(QStringLiteral("HOME"), path("home"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), work_.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), path("home"));
    env.insert(QStringLiteral("PULSE_RUNTIME_PATH"), work_.path());
    env.insert(QStringLiteral("PULSE_STATE_PATH"), path("home"));
    server_.setProcessEnvironment(env);
    server_.setStandardInputFile(QProcess::nullDevice());
    server_.setStandardOutputFile(path("pulseaudio.log"));
    server_.setStandardErrorFile(path("pulseaudio.log"), QIODevice::Append);
    dieWithParent(server_);
    server_.start(QStringLiteral("pulseaudio"),
                  {QStringLiteral("-n"), QStringLiteral("-F"), path("null.pa"), QStringLiteral("--daemonize=no"),
                   QStringLiteral("--use-pid-file=no"), QStringLiteral("--system=no"),
                   QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--realtime=no"),
                   QStringLiteral("--high-priority=no"), QStringLiteral("--log-target=stderr")});

    const bool ready = waitUntil(
        [&] {
            if (server_.state() == QProcess::NotRunning)
                return false;
            QProcess info;
            info.setProcessEnvironment(clientEnvironment());
            info.start(QStringLiteral("pactl"), {QStringLiteral("info")});
            return info.waitForFinished(DisplayTimeoutMs) && info.exitCode() == 0;
        },
        DisplayTimeoutMs);
    if (!ready) {
        error_ = QStringLiteral("pulseaudio did not start: ") + QString::fromLocal8Bit(readAll(path("pulseaudio.log")));
    }
    return ready;
}

void PulseSession::stop()
{
    stopProcess(server_);
}

QProcessEnvironment PulseSession::clientEnvironment() const
{
    QProcessEnvironment env;
    env.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:") + path("native"));
    env.insert(QStringLiteral("PULSE_CLIENTCONFIG"), path("client.conf"));
    env.insert(QStringLiteral("PULSE_COOKIE"), path("cookie"));
    env.insert(QStringLiteral("PULSE_RUNTIME_PATH"), work_.path());
    return env;
}

QProcessEnvironment PulseSession::absentServerEnvironment() const
{
    QProcessEnvironment env = clientEnvironment();
    env.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:") + path("nobody-listens-here"));
    return env;
}

bool PulseSession::hasClient(const QString &applicationName) const
{
    QProcess list;
    list.setProcessEnvironment(clientEnvironment());
    list.start(QStringLiteral("pactl"), {QStringLiteral("list"), QStringLiteral("clients")});
    if (!list.waitForFinished(DisplayTimeoutMs) || list.exitCode() != 0)
        return false;
    const QByteArray property = "application.name = \"" + applicationName.toUtf8() + '"';
    return list.readAllStandardOutput().contains(property);
}

void PulseSession::useInThisProcess() const
{
    const QProcessEnvironment env = clientEnvironment();
    for (const QString &name : env.keys())
        qputenv(name.toLocal8Bit().constData(), env.value(name).toLocal8Bit());
}

} // namespace tekkora::testing
