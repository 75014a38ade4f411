#include "WaylandSession.h"

#include "SessionTools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLibraryInfo>
#include <QStandardPaths>

#include <algorithm>

#include <unistd.h>

namespace tekkora::testing {

namespace {

constexpr int ToolTimeoutMs = 10000;
// Who runs the compositor when the tests run as root: nobody.
constexpr uid_t CompositorUser = 65534;

// Windows float at the size they ask for; sway would tile resizable ones.
constexpr char SwayConfig[] = "xwayland disable\n"
                              "output * resolution 1280x800 position 0 0\n"
                              "focus_on_window_activation focus\n"
                              "for_window [app_id=\".*\"] floating enable\n"
                              "for_window [title=\".*\"] floating enable\n";

void collectWindows(const QJsonObject &node, QList<WaylandSession::Window> &out)
{
    const QString type = node.value(QStringLiteral("type")).toString();
    if ((type == QLatin1String("con") || type == QLatin1String("floating_con"))
        && node.contains(QStringLiteral("pid"))) {
        const QJsonObject rect = node.value(QStringLiteral("window_rect")).toObject();
        const QJsonObject frame = node.value(QStringLiteral("rect")).toObject();
        out.append({node.value(QStringLiteral("name")).toString(), node.value(QStringLiteral("app_id")).toString(),
                    node.value(QStringLiteral("shell")).toString(),
                    QSize(rect.value(QStringLiteral("width")).toInt(), rect.value(QStringLiteral("height")).toInt()),
                    node.value(QStringLiteral("focused")).toBool(),
                    QPoint(frame.value(QStringLiteral("x")).toInt() + rect.value(QStringLiteral("x")).toInt(),
                           frame.value(QStringLiteral("y")).toInt() + rect.value(QStringLiteral("y")).toInt())});
    }
    for (const char *children : {"nodes", "floating_nodes"})
        for (const QJsonValue child : node.value(QLatin1String(children)).toArray())
            collectWindows(child.toObject(), out);
}

} // namespace

WaylandSession::WaylandSession()
    : program_(std::make_unique<PrivateProgram>(work_.path()))
{
}

WaylandSession::~WaylandSession()
{
    program_.reset();
    stopProcess(compositor_);
}

QString WaylandSession::missingTool() const
{
    for (const char *tool : {"sway", "swaymsg", "wtype"})
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            return QLatin1String(tool);
    if (::geteuid() == 0 && QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
        return QStringLiteral("setpriv");
    const QDir platforms(QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms"));
    if (platforms.entryList({QStringLiteral("*wayland*")}).isEmpty())
        return QStringLiteral("Qt's wayland platform plug-in (qt6-wayland)");
    return {};
}

bool WaylandSession::start()
{
    if (!work_.isValid()) {
        error_ = QStringLiteral("no temporary directory");
        return false;
    }
    // work/ (0711) holds compositor/ (the compositor's own, 0700) and the
    // program's files; the compositor reaches nothing of the tests'.
    const QDir work(work_.path());
    QFile::setPermissions(work_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ExeGroup
                                            | QFile::ExeOther);
    const QString home = work.filePath(QStringLiteral("compositor"));
    const QString config = work.filePath(QStringLiteral("sway.conf"));
    QFile file(config);
    if (!work.mkpath(QStringLiteral("compositor")) || !file.open(QIODevice::WriteOnly)
        || file.write(SwayConfig) < 0) {
        error_ = QStringLiteral("cannot prepare ") + work_.path();
        return false;
    }
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    QFile::setPermissions(home, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QStringList command{QStringLiteral("sway"), QStringLiteral("-c"), config};
    if (::geteuid() == 0) {
        if (::chown(home.toLocal8Bit().constData(), CompositorUser, CompositorUser) != 0) {
            error_ = QStringLiteral("cannot hand ") + home + QStringLiteral(" to nobody");
            return false;
        }
        // Credentials change: setpriv sets the parent-death signal again.
        command = QStringList{QStringLiteral("setpriv"), QStringLiteral("--reuid=%1").arg(CompositorUser),
                              QStringLiteral("--regid=%1").arg(CompositorUser), QStringLiteral("--clear-groups"),
                              QStringLiteral("--pdeathsig=KILL"), QStringLiteral("--")}
                  + command;
    }
    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home);
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("WLR_BACKENDS"), QStringLiteral("headless"));
    env.insert(QStringLiteral("WLR_LIBINPUT_NO_DEVICES"), QStringLiteral("1"));
    env.insert(QStringLiteral("WLR_RENDERER"), QStringLiteral("pixman"));
    env.insert(QStringLiteral("WLR_HEADLESS_OUTPUTS"), QStringLiteral("1"));
    compositor_.setProcessEnvironment(env);
    compositor_.setStandardInputFile(QProcess::nullDevice());
    compositor_.setStandardOutputFile(work.filePath(QStringLiteral("sway.log")));
    compositor_.setStandardErrorFile(work.filePath(QStringLiteral("sway.log")), QIODevice::Append);
    dieWithParent(compositor_);
    compositor_.start(command.takeFirst(), command);

    // Ready once the display socket, the IPC socket and an output are there.
    const QDir runtime(home);
    const bool ready = waitUntil(
        [&] {
            if (compositor_.state() == QProcess::NotRunning)
                return false;
            const QStringList sockets = runtime.entryList({QStringLiteral("wayland-?")}, QDir::System);
            const QStringList ipc = runtime.entryList({QStringLiteral("sway-ipc.*.sock")}, QDir::System);
            if (sockets.isEmpty() || ipc.isEmpty())
                return false;
            socket_ = runtime.filePath(sockets.first());
            ipcSocket_ = runtime.filePath(ipc.first());
            QByteArray outputs;
            return runTool(QStringLiteral("swaymsg"), {QStringLiteral("-t"), QStringLiteral("get_outputs")}, &outputs)
                && outputs.contains("\"name\"");
        },
        DisplayTimeoutMs);
    if (!ready) {
        QFile log(work.filePath(QStringLiteral("sway.log")));
        error_ = QStringLiteral("sway did not start: ")
                 + QString::fromLocal8Bit(log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray());
    }
    return ready;
}

QString WaylandSession::programDirectory() const
{
    return program_->directory();
}

QProcessEnvironment WaylandSession::toolEnvironment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    // An absolute path: the clients keep runtime directories of their own.
    env.insert(QStringLiteral("WAYLAND_DISPLAY"), socket_);
    env.insert(QStringLiteral("SWAYSOCK"), ipcSocket_);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QDir(work_.path()).filePath(QStringLiteral("runtime")));
    return env;
}

bool WaylandSession::launch(const QString &executable, const QProcessEnvironment &extra)
{
    QProcessEnvironment display;
    display.insert(QStringLiteral("WAYLAND_DISPLAY"), socket_);
    display.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    // Under the leak checker: Qt's Wayland platform starts EGL, and Mesa
    // unloads its driver again, leaving allocations whose quick stack shows
    // only the unloaded driver. The full unwind reaches libEGL_mesa, which
    // the suppressions can name.
    const QString sanitizer = qEnvironmentVariable("ASAN_OPTIONS");
    if (!sanitizer.isEmpty())
        display.insert(QStringLiteral("ASAN_OPTIONS"), sanitizer + QStringLiteral(":fast_unwind_on_malloc=0"));
    if (!program_->launch(executable, display, extra)) {
        error_ = program_->error();
        return false;
    }
    return true;
}

bool WaylandSession::runTool(const QString &tool, const QStringList &arguments, QByteArray *output) const
{
    QProcess process;
    process.setProcessEnvironment(toolEnvironment());
    process.setProcessChannelMode(QProcess::SeparateChannels);
    dieWithParent(process);
    process.start(tool, arguments);
    if (!process.waitForFinished(ToolTimeoutMs)) {
        stopProcess(process);
        return false;
    }
    if (output != nullptr)
        *output = process.readAllStandardOutput();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QList<WaylandSession::Window> WaylandSession::windows() const
{
    QByteArray tree;
    QList<Window> found;
    if (runTool(QStringLiteral("swaymsg"), {QStringLiteral("-r"), QStringLiteral("-t"), QStringLiteral("get_tree")},
                &tree))
        collectWindows(QJsonDocument::fromJson(tree).object(), found);
    return found;
}

std::optional<WaylandSession::Window> WaylandSession::waitForWindow(const QString &title, bool focused, int timeoutMs)
{
    std::optional<Window> match;
    waitUntil(
        [&] {
            for (const Window &window : windows())
                if (window.title == title && (window.focused || !focused))
                    match = window;
            return match.has_value() || program().state() == QProcess::NotRunning;
        },
        timeoutMs);
    return match;
}

bool WaylandSession::waitForNoWindow(const QString &title, int timeoutMs)
{
    return waitUntil(
        [&] {
            const QList<Window> all = windows();
            return std::none_of(all.begin(), all.end(), [&](const Window &w) { return w.title == title; });
        },
        timeoutMs);
}

QImage WaylandSession::grab(const QRect &area) const
{
    QByteArray ppm;
    const QString at = QStringLiteral("%1,%2 %3x%4").arg(area.x()).arg(area.y()).arg(area.width()).arg(area.height());
    const QStringList arguments{QStringLiteral("-t"), QStringLiteral("ppm"), QStringLiteral("-g"), at, QStringLiteral("-")};
    return runTool(QStringLiteral("grim"), arguments, &ppm) ? QImage::fromData(ppm, "PPM") : QImage();
}

bool WaylandSession::type(const QStringList &arguments)
{
    // Each run uploads a keymap of its own; the pause lets the client take
    // it before the first key.
    return runTool(QStringLiteral("wtype"), QStringList{QStringLiteral("-s"), QStringLiteral("100")} + arguments);
}

bool WaylandSession::closeWindow(const QString &title)
{
    QString quoted = title;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\\\""));
    return runTool(QStringLiteral("swaymsg"), {QStringLiteral("[title=\"^%1$\"]").arg(quoted), QStringLiteral("kill")});
}

} // namespace tekkora::testing
