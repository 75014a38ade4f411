#include "X11Session.h"

#include "SessionTools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>


namespace tekkora::testing {

namespace {


// Windows come and go (menus, tooltips) between a look-up and the next
// question about them; such errors are answered by the callers' checks.
int ignoreErrors(Display *, XErrorEvent *) { return 0; }

QString textProperty(Display *dpy, Window window, Atom property)
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    QString text;
    if (XGetWindowProperty(dpy, window, property, 0, 1024, False, AnyPropertyType, &type, &format, &count, &after,
                           &data)
            == Success
        && data != nullptr && format == 8) {
        const QByteArray bytes(reinterpret_cast<const char *>(data), int(count));
        text = type == XA_STRING ? QString::fromLatin1(bytes) : QString::fromUtf8(bytes);
    }
    if (data != nullptr)
        XFree(data);
    return text;
}

bool isViewable(Display *dpy, Window window)
{
    XWindowAttributes attributes;
    return XGetWindowAttributes(dpy, window, &attributes) != 0 && attributes.map_state == IsViewable;
}

Window findTitled(Display *dpy, Window parent, const QString &title, Atom netWmName, int depth)
{
    Window root = 0, up = 0, *children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(dpy, parent, &root, &up, &children, &count) == 0)
        return 0;
    Window found = 0;
    for (unsigned int i = count; i-- > 0 && found == 0;) { // topmost first
        const Window child = children[i];
        if (!isViewable(dpy, child))
            continue;
        if (textProperty(dpy, child, netWmName) == title || textProperty(dpy, child, XA_WM_NAME) == title)
            found = child;
        else if (depth > 1)
            found = findTitled(dpy, child, title, netWmName, depth - 1);
    }
    if (children != nullptr)
        XFree(children);
    return found;
}

// The ancestor of the window that is a child of the root: the window
// manager's frame, or the window itself without a window manager.
Window topLevelOf(Display *dpy, Window window)
{
    for (;;) {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned int count = 0;
        if (XQueryTree(dpy, window, &root, &parent, &children, &count) == 0)
            return window;
        if (children != nullptr)
            XFree(children);
        if (parent == root || parent == 0)
            return window;
        window = parent;
    }
}

} // namespace

X11Session::X11Session(WindowManager manager)
    : manager_(manager)
    , program_(std::make_unique<PrivateProgram>(work_.path()))
{
}

X11Session::~X11Session()
{
    program_.reset();
    stopProcess(windowManager_);
    if (dpy_ != nullptr)
        XCloseDisplay(dpy_);
    stopProcess(server_);
}

QString X11Session::missingTool() const
{
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty())
        return QStringLiteral("Xvfb");
    if (manager_ == Openbox && QStandardPaths::findExecutable(QStringLiteral("openbox")).isEmpty())
        return QStringLiteral("openbox");
    return {};
}

bool X11Session::start()
{
    if (!work_.isValid()) {
        error_ = QStringLiteral("no temporary directory");
        return false;
    }
    return startServer() && (manager_ == NoWindowManager || startWindowManager());
}

QString X11Session::programDirectory() const
{
    return program_->directory();
}

bool X11Session::startServer()
{
    // Xvfb picks a free display itself and writes its number to stdout.
    dieWithParent(server_);
    server_.setProcessChannelMode(QProcess::SeparateChannels);
    server_.setStandardErrorFile(QDir(work_.path()).filePath(QStringLiteral("xvfb.log")));
    server_.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                           QStringLiteral("0"), QStringLiteral("1024x768x24"),
                                           QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    QByteArray number;
    waitUntil(
        [&] {
            number += server_.readAllStandardOutput();
            return number.contains('\n') || server_.state() == QProcess::NotRunning;
        },
        DisplayTimeoutMs);
    if (!number.contains('\n')) {
        error_ = QStringLiteral("Xvfb did not start");
        return false;
    }
    display_ = QLatin1Char(':') + QString::fromLatin1(number.trimmed());
    XSetErrorHandler(ignoreErrors);
    dpy_ = XOpenDisplay(display_.toLatin1().constData());
    if (dpy_ == nullptr) {
        error_ = QStringLiteral("cannot open display ") + display_;
        return false;
    }
    int opcode = 0, xkbError = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    int testEvent = 0, testError = 0;
    if (!XkbQueryExtension(dpy_, &opcode, &xkbEventBase_, &xkbError, &major, &minor)
        || !XTestQueryExtension(dpy_, &testEvent, &testError, &major, &minor)) {
        error_ = QStringLiteral("the server lacks XKB or XTest");
        return false;
    }
    XkbSelectEvents(dpy_, XkbUseCoreKbd, XkbBellNotifyMask, XkbBellNotifyMask);
    XSync(dpy_, False);
    return true;
}

bool X11Session::startWindowManager()
{
    // Openbox's own defaults, not the user's configuration.
    const QString config = QDir(work_.path()).filePath(QStringLiteral("openbox-rc.xml"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)
        || file.write("<?xml version=\"1.0\"?>\n<openbox_config xmlns=\"http://openbox.org/3.4/rc\">\n"
                      "  <desktops><number>1</number></desktops>\n</openbox_config>\n")
               < 0) {
        error_ = QStringLiteral("cannot write ") + config;
        return false;
    }
    file.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display_);
    env.insert(QStringLiteral("HOME"), QDir(work_.path()).filePath(QStringLiteral("home")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), QDir(work_.path()).filePath(QStringLiteral("home/.config")));
    env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    windowManager_.setProcessEnvironment(env);
    windowManager_.setStandardOutputFile(QProcess::nullDevice());
    windowManager_.setStandardErrorFile(QDir(work_.path()).filePath(QStringLiteral("openbox.log")));
    dieWithParent(windowManager_);
    windowManager_.start(QStringLiteral("openbox"),
                         {QStringLiteral("--config-file"), config, QStringLiteral("--sm-disable")});

    // A window manager owns WM_S0 and names itself on the root window.
    const Atom selection = XInternAtom(dpy_, "WM_S0", False);
    const Atom check = XInternAtom(dpy_, "_NET_SUPPORTING_WM_CHECK", False);
    const Window root = DefaultRootWindow(dpy_);
    const bool ready = waitUntil(
        [&] {
            if (windowManager_.state() == QProcess::NotRunning || XGetSelectionOwner(dpy_, selection) == 0)
                return false;
            Atom type = 0;
            int format = 0;
            unsigned long count = 0, after = 0;
            unsigned char *data = nullptr;
            XGetWindowProperty(dpy_, root, check, 0, 1, False, XA_WINDOW, &type, &format, &count, &after, &data);
            if (data != nullptr)
                XFree(data);
            return count == 1;
        },
        DisplayTimeoutMs);
    if (!ready)
        error_ = QStringLiteral("openbox did not take over the display");
    return ready;
}

bool X11Session::launch(const QString &executable, const QProcessEnvironment &extra)
{
    QProcessEnvironment display;
    display.insert(QStringLiteral("DISPLAY"), display_);
    display.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    if (!program_->launch(executable, display, extra)) {
        error_ = program_->error();
        return false;
    }
    return true;
}

XWindow X11Session::findWindow(const QString &title) const
{
    // Client windows lie at most two levels down: openbox puts each in a
    // frame and the frame in a window of its own.
    return findTitled(dpy_, DefaultRootWindow(dpy_), title, XInternAtom(dpy_, "_NET_WM_NAME", False), 3);
}

XWindow X11Session::waitForWindow(const QString &title, int timeoutMs)
{
    XWindow window = 0;
    waitUntil(
        [&] {
            window = findWindow(title);
            return window != 0 || program().state() == QProcess::NotRunning;
        },
        timeoutMs);
    return window;
}

bool X11Session::waitForNoWindow(const QString &title, int timeoutMs)
{
    return waitUntil([&] { return findWindow(title) == 0; }, timeoutMs);
}

bool X11Session::waitForFocus(XWindow window, int timeoutMs)
{
    if (manager_ == NoWindowManager) {
        XSetInputFocus(dpy_, window, RevertToPointerRoot, CurrentTime);
        XSync(dpy_, False);
    }
    return waitUntil(
        [&] {
            Window focus = 0;
            int revert = 0;
            XGetInputFocus(dpy_, &focus, &revert);
            return focus == window;
        },
        timeoutMs);
}

QRect X11Session::clientGeometry(XWindow window) const
{
    XWindowAttributes attributes;
    int x = 0, y = 0;
    Window child = 0;
    if (XGetWindowAttributes(dpy_, window, &attributes) == 0
        || !XTranslateCoordinates(dpy_, window, DefaultRootWindow(dpy_), 0, 0, &x, &y, &child))
        return {};
    return {x, y, attributes.width, attributes.height};
}

QRect X11Session::frameGeometry(XWindow window) const
{
    XWindowAttributes attributes;
    if (XGetWindowAttributes(dpy_, topLevelOf(dpy_, window), &attributes) == 0)
        return {};
    const int border = attributes.border_width;
    return {attributes.x, attributes.y, attributes.width + 2 * border, attributes.height + 2 * border};
}

QList<QRect> X11Session::topLevelFrames() const
{
    QList<QRect> frames;
    Window root = 0, up = 0, *children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(dpy_, DefaultRootWindow(dpy_), &root, &up, &children, &count) == 0)
        return frames;
    for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(dpy_, children[i], &attributes) != 0 && attributes.map_state == IsViewable)
            frames << QRect(attributes.x, attributes.y, attributes.width + 2 * attributes.border_width,
                            attributes.height + 2 * attributes.border_width);
    }
    if (children != nullptr)
        XFree(children);
    return frames;
}

void X11Session::moveWindow(XWindow window, const QPoint &topLeft)
{
    XMoveWindow(dpy_, window, topLeft.x(), topLeft.y());
    XSync(dpy_, False);
}

QList<QImage> X11Session::windowIcons(XWindow window) const
{
    // CARDINALs, each image its width and height, then its ARGB pixels row
    // by row; Xlib hands 32-bit items over as longs.
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    QList<QImage> icons;
    if (XGetWindowProperty(dpy_, window, XInternAtom(dpy_, "_NET_WM_ICON", False), 0, 1 << 22, False, XA_CARDINAL,
                           &type, &format, &count, &after, &data)
            == Success
        && data != nullptr && format == 32) {
        const auto *items = reinterpret_cast<const unsigned long *>(data);
        unsigned long at = 0;
        while (at + 2 <= count) {
            const unsigned long width = items[at], height = items[at + 1];
            at += 2;
            if (width == 0 || height == 0 || width > 1024 || height > 1024 || count - at < width * height)
                break;
            QImage image(int(width), int(height), QImage::Format_ARGB32);
            for (int y = 0; y < image.height(); ++y) {
                auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
                for (int x = 0; x < image.width(); ++x)
                    line[x] = QRgb(items[at++] & 0xffffffffUL);
            }
            icons << image;
        }
    }
    if (data != nullptr)
        XFree(data);
    return icons;
}

void X11Session::setResources(const QByteArray &resources)
{
    XChangeProperty(dpy_, DefaultRootWindow(dpy_), XInternAtom(dpy_, "RESOURCE_MANAGER", False), XA_STRING, 8,
                    PropModeReplace, reinterpret_cast<const unsigned char *>(resources.constData()),
                    int(resources.size()));
    XSync(dpy_, False);
}

XWindow X11Session::transientFor(XWindow window) const
{
    Window owner = 0;
    return XGetTransientForHint(dpy_, window, &owner) != 0 ? owner : 0;
}

void X11Session::closeWindow(XWindow window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(dpy_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(dpy_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(dpy_, window, False, NoEventMask, &event);
    XSync(dpy_, False);
}

unsigned X11Session::keycodeOf(const char *keysymName) const
{
    const KeySym keysym = XStringToKeysym(keysymName);
    return keysym == NoSymbol ? 0 : XKeysymToKeycode(dpy_, keysym);
}

void X11Session::keyDown(unsigned keycode)
{
    XTestFakeKeyEvent(dpy_, keycode, True, CurrentTime);
    XSync(dpy_, False);
}

void X11Session::keyUp(unsigned keycode)
{
    XTestFakeKeyEvent(dpy_, keycode, False, CurrentTime);
    XSync(dpy_, False);
}

void X11Session::pressKey(unsigned keycode, unsigned modifierKeycode)
{
    if (modifierKeycode != 0)
        keyDown(modifierKeycode);
    keyDown(keycode);
    keyUp(keycode);
    if (modifierKeycode != 0)
        keyUp(modifierKeycode);
}

void X11Session::click(const QPoint &at)
{
    XTestFakeMotionEvent(dpy_, DefaultScreen(dpy_), at.x(), at.y(), CurrentTime);
    XTestFakeButtonEvent(dpy_, 1, True, CurrentTime);
    XTestFakeButtonEvent(dpy_, 1, False, CurrentTime);
    XSync(dpy_, False);
}

QImage X11Session::grab(const QRect &area) const
{
    const QRect visible = area.intersected(screen());
    if (visible.isEmpty())
        return {};
    XImage *image = XGetImage(dpy_, DefaultRootWindow(dpy_), visible.x(), visible.y(), unsigned(visible.width()),
                              unsigned(visible.height()), AllPlanes, ZPixmap);
    if (image == nullptr)
        return {};
    // The server's 24-bit TrueColor visual: red, green and blue in 8 bits each.
    QImage result(visible.size(), QImage::Format_RGB32);
    for (int y = 0; y < visible.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < visible.width(); ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            line[x] = qRgb(int((pixel & image->red_mask) >> 16), int((pixel & image->green_mask) >> 8),
                           int(pixel & image->blue_mask));
        }
    }
    XDestroyImage(image);
    return result;
}

QImage X11Session::waitForStillImage(const QRect &area, int timeoutMs) const
{
    // Unchanged over a whole poll interval, not just between two grabs in
    // a row.
    QImage previous = grab(area);
    QImage current;
    int agreeing = 0;
    const bool still = waitUntil(
        [&] {
            current = grab(area);
            agreeing = current == previous ? agreeing + 1 : 0;
            previous = current;
            return agreeing >= 2;
        },
        timeoutMs);
    return still ? current : QImage();
}

int X11Session::bellCount()
{
    while (XPending(dpy_) > 0) {
        XEvent event;
        XNextEvent(dpy_, &event);
        if (event.type == xkbEventBase_ && reinterpret_cast<XkbEvent &>(event).any.xkb_type == XkbBellNotify)
            ++bells_;
    }
    return bells_;
}

} // namespace tekkora::testing
