#pragma once

// A private headless Wayland compositor for end-to-end tests of the real
// program: sway on the headless backend, every window floating at the size
// it asks for, and the program under test started on it as a
// PrivateProgram with Qt's wayland platform.
//
// sway refuses to run as root; as root the session runs it as nobody, and
// the tests (and the program) reach it as root anyway. Windows are seen at
// the compositor (its IPC), not through the program: Qt may believe a window
// shown that the compositor never got. Keys go through wtype, a virtual
// keyboard with a keymap of its own for each run: keysym names, no keycodes.
//
//   WaylandSession w;
//   TEKKORA_START_WAYLAND(w);
//   QVERIFY(w.launch(TEKKORA_EXECUTABLE));
//   const auto main = w.waitForWindow(QStringLiteral("Tekkora!"));

#include "PrivateProgram.h"

#include <QImage>
#include <QList>
#include <QProcess>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

namespace tekkora::testing {

class WaylandSession {
public:
    struct Window {
        QString title;
        QString appId;
        QString shell; // "xdg_shell" for a native Wayland window
        QSize size;    // the client area, without the compositor's border
        bool focused = false;
        QPoint position; // the client area's top left on the output
    };

    WaylandSession();
    ~WaylandSession();
    WaylandSession(const WaylandSession &) = delete;
    WaylandSession &operator=(const WaylandSession &) = delete;

    // The tool this session needs and cannot find (sway, swaymsg, wtype,
    // Qt's wayland platform plug-in), or an empty text.
    QString missingTool() const;

    bool start();
    QString error() const { return error_; }

    QString programDirectory() const;
    // The compositor's socket, for clients of the test's own.
    QString displaySocket() const { return socket_; }
    bool launch(const QString &executable, const QProcessEnvironment &extra = {});
    QProcess &program() { return program_->process(); }
    bool waitForExit(int timeoutMs = 10000) { return program_->waitForExit(timeoutMs); }

    // The compositor's top-level windows of all clients.
    QList<Window> windows() const;
    // The window with this title once the compositor has it (and has given it
    // the keyboard focus, when asked to wait for that).
    std::optional<Window> waitForWindow(const QString &title, bool focused = true, int timeoutMs = 10000);
    bool waitForNoWindow(const QString &title, int timeoutMs = 10000);

    // What the output shows there, through grim; null without grim.
    QImage grab(const QRect &area) const;

    // Runs wtype with these arguments (keys go to the focused window).
    bool type(const QStringList &arguments);
    // Asks the window to close, as its close box does.
    bool closeWindow(const QString &title);

private:
    bool runTool(const QString &tool, const QStringList &arguments, QByteArray *output = nullptr) const;
    QProcessEnvironment toolEnvironment() const;

    QTemporaryDir work_;
    QString error_;
    QProcess compositor_;
    QString socket_;
    QString ipcSocket_;
    std::unique_ptr<PrivateProgram> program_;
};

} // namespace tekkora::testing

// Skips the test when no compositor can be started here, fails it when one
// should but does not start.
#define TEKKORA_START_WAYLAND(session)                                                                      \
    do {                                                                                                     \
        if (const QString missing = (session).missingTool(); !missing.isEmpty())                            \
            QSKIP(qPrintable(missing + QStringLiteral(" is not installed")));                               \
        QVERIFY2((session).start(), qPrintable((session).error()));                                          \
    } while (false)
