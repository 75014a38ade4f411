// The real program on every platform Qt offers a desktop here: X11 (Xvfb)
// and native Wayland (a headless sway). On each, the main window appears at
// the compositor or server at its fixed size with its title; Alt+H, V opens
// the about box as a second window; Esc closes it; closing the main window
// ends the program cleanly, which writes tekora.ini.

#include "WaylandSession.h"
#include "X11Session.h"

#include <QFile>
#include <QTest>

#include <memory>
#include <optional>

using namespace tekkora::testing;

namespace {

const QString MainTitle = QStringLiteral("Tekkora!");
const QString AboutTitle = QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報");

// One desktop, as this test drives it.
class Desktop {
public:
    virtual ~Desktop() = default;
    virtual QString missingTool() const = 0;
    virtual bool start() = 0;
    virtual QString error() const = 0;
    virtual bool launch() = 0;
    virtual QString programDirectory() const = 0;
    virtual bool waitForExit() = 0;
    virtual int exitCode() = 0;
    // The client area of the focused window of that title, once there is one.
    virtual std::optional<QSize> waitForFocusedWindow(const QString &title) = 0;
    virtual bool waitForNoWindow(const QString &title) = 0;
    virtual int programWindows() = 0;
    virtual void openAboutBox() = 0; // Alt+H, V: the help menu's only item
    virtual void pressEscape() = 0;
    virtual void closeWindow(const QString &title) = 0;
};

class X11Desktop final : public Desktop {
public:
    QString missingTool() const override { return x_.missingTool(); }
    bool start() override { return x_.start(); }
    QString error() const override { return x_.error(); }
    bool launch() override { return x_.launch(QStringLiteral(TEKKORA_EXECUTABLE)); }
    QString programDirectory() const override { return x_.programDirectory(); }
    bool waitForExit() override { return x_.waitForExit(); }
    int exitCode() override { return x_.program().exitCode(); }
    std::optional<QSize> waitForFocusedWindow(const QString &title) override
    {
        const XWindow window = x_.waitForWindow(title);
        if (window == 0 || !x_.waitForFocus(window))
            return std::nullopt;
        return x_.clientGeometry(window).size();
    }
    bool waitForNoWindow(const QString &title) override { return x_.waitForNoWindow(title); }
    int programWindows() override { return int(x_.findWindow(MainTitle) != 0) + int(x_.findWindow(AboutTitle) != 0); }
    void openAboutBox() override
    {
        x_.pressKey(x_.keycodeOf("h"), x_.keycodeOf("Alt_L"));
        x_.pressKey(x_.keycodeOf("v"));
    }
    void pressEscape() override { x_.pressKey(x_.keycodeOf("Escape")); }
    void closeWindow(const QString &title) override { x_.closeWindow(x_.findWindow(title)); }

private:
    X11Session x_;
};

class WaylandDesktop final : public Desktop {
public:
    QString missingTool() const override { return w_.missingTool(); }
    bool start() override { return w_.start(); }
    QString error() const override { return w_.error(); }
    bool launch() override { return w_.launch(QStringLiteral(TEKKORA_EXECUTABLE)); }
    QString programDirectory() const override { return w_.programDirectory(); }
    bool waitForExit() override { return w_.waitForExit(); }
    int exitCode() override { return w_.program().exitCode(); }
    std::optional<QSize> waitForFocusedWindow(const QString &title) override
    {
        const auto window = w_.waitForWindow(title);
        // A window of Qt's wayland platform, not of XWayland, named after
        // the desktop entry so that the desktop shows the entry's icon.
        if (!window || window->shell != QLatin1String("xdg_shell") || window->appId != QLatin1String(TEKKORA_APP_ID))
            return std::nullopt;
        return window->size;
    }
    bool waitForNoWindow(const QString &title) override { return w_.waitForNoWindow(title); }
    int programWindows() override { return int(w_.windows().size()); }
    void openAboutBox() override
    {
        // One run of the virtual keyboard: the menu that Alt+H opens takes V.
        w_.type({QStringLiteral("-M"), QStringLiteral("alt"), QStringLiteral("-k"), QStringLiteral("h"),
                 QStringLiteral("-m"), QStringLiteral("alt"), QStringLiteral("-k"), QStringLiteral("v")});
    }
    void pressEscape() override { w_.type({QStringLiteral("-k"), QStringLiteral("Escape")}); }
    void closeWindow(const QString &title) override { w_.closeWindow(title); }

private:
    WaylandSession w_;
};

} // namespace

class TestPlatforms : public QObject {
    Q_OBJECT
private slots:
    void windowsKeysAndACleanClose_data()
    {
        QTest::addColumn<QString>("platform");
        QTest::newRow("xcb (Xvfb)") << QStringLiteral("xcb");
        QTest::newRow("wayland (sway)") << QStringLiteral("wayland");
    }

    void windowsKeysAndACleanClose()
    {
        QFETCH(QString, platform);
        std::unique_ptr<Desktop> desktop;
        if (platform == QLatin1String("xcb"))
            desktop = std::make_unique<X11Desktop>();
        else
            desktop = std::make_unique<WaylandDesktop>();
        if (const QString missing = desktop->missingTool(); !missing.isEmpty())
            QSKIP(qPrintable(missing + QStringLiteral(" is not installed")));
        QVERIFY2(desktop->start(), qPrintable(desktop->error()));
        QVERIFY2(desktop->launch(), qPrintable(desktop->error()));

        // 2550 twips wide; 2070 high below the menu bar.
        const std::optional<QSize> main = desktop->waitForFocusedWindow(MainTitle);
        QVERIFY2(main.has_value(), "no main window at the display");
        QCOMPARE(main->width(), 170);
        QVERIFY(main->height() > 138);
        QCOMPARE(desktop->programWindows(), 1);

        desktop->openAboutBox();
        const std::optional<QSize> about = desktop->waitForFocusedWindow(AboutTitle);
        QVERIFY2(about.has_value(), "no about box at the display");
        QCOMPARE(*about, QSize(342, 108)); // 5130 x 1620 twips
        QCOMPARE(desktop->programWindows(), 2);
        desktop->pressEscape();
        QVERIFY(desktop->waitForNoWindow(AboutTitle));
        QVERIFY(desktop->waitForFocusedWindow(MainTitle).has_value());

        const QString settings = desktop->programDirectory() + QStringLiteral("/tekora.ini");
        QVERIFY(!QFile::exists(settings));
        desktop->closeWindow(MainTitle);
        QVERIFY(desktop->waitForNoWindow(MainTitle));
        QVERIFY(desktop->waitForExit());
        QCOMPARE(desktop->exitCode(), 0);
        QFile file(settings);
        QVERIFY2(file.open(QIODevice::ReadOnly), "no tekora.ini after a clean close");
        QVERIFY(file.readAll().startsWith("[Data]"));
    }
};

QTEST_GUILESS_MAIN(TestPlatforms)
#include "tst_platforms.moc"
