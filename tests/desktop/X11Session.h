#pragma once

// A private X server for end-to-end tests of the real program: Xvfb on a free
// display (1024x768x24), optionally with openbox managing the windows, and
// the program under test started on it as a PrivateProgram.
//
// Windows are found by title and measured in root coordinates; keys are raw
// keycodes sent through XTest. Xlib stays inside X11Session.cpp: its macros
// (None, Bool, KeyPress, ...) clash with Qt's names.
//
// Every process the session starts dies with it, and with the test process
// should that die first.
//
//   X11Session x(X11Session::Openbox);
//   TEKKORA_START_X11(x);
//   QVERIFY(x.launch(TEKKORA_EXECUTABLE));
//   const XWindow main = x.waitForWindow(QStringLiteral("Tekkora!"));

#include "PrivateProgram.h"
#include "SessionTools.h"

#include <QImage>
#include <QList>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

struct _XDisplay;

namespace tekkora::testing {

using XWindow = unsigned long;

class X11Session {
public:
    enum WindowManager { NoWindowManager, Openbox };

    explicit X11Session(WindowManager manager = NoWindowManager);
    ~X11Session();
    X11Session(const X11Session &) = delete;
    X11Session &operator=(const X11Session &) = delete;

    // The program this session needs and cannot find (Xvfb, openbox), or
    // an empty text.
    QString missingTool() const;

    // Starts the server (and the window manager, ready to manage windows).
    bool start();
    QString error() const { return error_; }
    QRect screen() const { return {0, 0, 1024, 768}; }
    // The server's display name (":1").
    QString display() const { return display_; }

    // Where the program's private copy lives: its settings file and score
    // log are written here. Exists from start() on.
    QString programDirectory() const;

    // Copies the executable into programDirectory() and starts it on this
    // display. extra is added to (or overrides) the program's environment.
    bool launch(const QString &executable, const QProcessEnvironment &extra = {});
    QProcess &program() { return program_->process(); }
    // Starts another program beside the first (the score window beside the
    // drill); see PrivateProgram::launchBeside().
    QProcess *launchBeside(const QString &executable, const QStringList &arguments = {})
    {
        return program_->launchBeside(executable, arguments);
    }
    // Waits for the program to end by itself; true if it exited normally.
    bool waitForExit(int timeoutMs = DisplayTimeoutMs) { return program_->waitForExit(timeoutMs); }

    // The viewable client window with this title (WM_NAME or _NET_WM_NAME),
    // also when the window manager has reparented it; 0 when there is none.
    XWindow findWindow(const QString &title) const;
    XWindow waitForWindow(const QString &title, int timeoutMs = DisplayTimeoutMs);
    bool waitForNoWindow(const QString &title, int timeoutMs = DisplayTimeoutMs);

    // Waits until the window holds the keyboard focus, as a window manager
    // gives it to a new window (without one, the session gives it). Keys
    // sent before reach a window that the toolkit does not see as active,
    // which takes them, but not as shortcuts.
    bool waitForFocus(XWindow window, int timeoutMs = DisplayTimeoutMs);

    // The client area, and the frame the window manager put around it (the
    // client area itself without one), both in root coordinates.
    QRect clientGeometry(XWindow window) const;
    QRect frameGeometry(XWindow window) const;
    // The outer geometry of every viewable top-level window (frames, menus),
    // bottom to top.
    QList<QRect> topLevelFrames() const;
    // The transient-for window (WM_TRANSIENT_FOR), 0 when there is none.
    XWindow transientFor(XWindow window) const;

    // Asks for the window to move to topLeft, as its program would; a
    // window manager may take the point for its frame's corner.
    void moveWindow(XWindow window, const QPoint &topLeft);

    // The images of the window's icon (_NET_WM_ICON), as the window offers
    // them to the window manager.
    QList<QImage> windowIcons(XWindow window) const;

    // Sets the X resources (RESOURCE_MANAGER on the root window, as xrdb
    // does), e.g. "Xft.dpi:\t192\n"; programs read them as they start.
    void setResources(const QByteArray &resources);

    // Asks the window to close, as the close box does (WM_DELETE_WINDOW).
    void closeWindow(XWindow window);

    // The keycode that types this key (a keysym name such as "1", "KP_1",
    // "Escape") on the server's keyboard, looked up once so that the keys
    // themselves go out as raw keycodes; 0 when no key types it.
    unsigned keycodeOf(const char *keysymName) const;

    // Raw keycodes of the server's keyboard, not key names.
    void keyDown(unsigned keycode);
    void keyUp(unsigned keycode);
    // Press and release, with modifierKeycode held around it when not 0.
    void pressKey(unsigned keycode, unsigned modifierKeycode = 0);
    // A click of the first button at a point in root coordinates.
    void click(const QPoint &at);

    // What the screen shows in an area of root coordinates.
    QImage grab(const QRect &area) const;
    // The same once it has stopped changing over a poll interval.
    // A null image when it keeps changing.
    QImage waitForStillImage(const QRect &area, int timeoutMs = DisplayTimeoutMs) const;

    // Bells rung on the display (XKB BellNotify) since start().
    int bellCount();

private:
    bool startServer();
    bool startWindowManager();

    WindowManager manager_;
    QTemporaryDir work_;
    QString error_;
    QProcess server_;
    QProcess windowManager_;
    std::unique_ptr<PrivateProgram> program_;
    QString display_;
    _XDisplay *dpy_ = nullptr;
    int xkbEventBase_ = 0;
    int bells_ = 0;
};

} // namespace tekkora::testing

// Skips the test when no X server can be started here, fails it when one
// should but does not start.
#define TEKKORA_START_X11(session)                                                                          \
    do {                                                                                                     \
        if (const QString missing = (session).missingTool(); !missing.isEmpty())                            \
            QSKIP(qPrintable(missing + QStringLiteral(" is not installed")));                               \
        QVERIFY2((session).start(), qPrintable((session).error()));                                          \
    } while (false)
