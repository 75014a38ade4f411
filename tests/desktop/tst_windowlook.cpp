// The real program's button faces on a desktop, in each style Qt may pick
// there: Fusion, Fusion under the GTK platform theme, and the Windows style.

#include "X11Session.h"

#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTest>

using namespace tekkora::testing;

namespace {

// Keycodes of the server's default keyboard.
constexpr unsigned Escape = 9, AltL = 64, KeyH = 43, KeyV = 55;

const QColor Face(192, 192, 255);

// Points just inside a button's border, clear of its caption.
QList<QPoint> innerPoints(const QRect &button)
{
    const QRect inner = button.adjusted(3, 3, -3, -3);
    return {inner.topLeft(), inner.topRight(), inner.bottomLeft(), inner.bottomRight(),
            QPoint(inner.left(), inner.center().y())};
}

QByteArray facesOff(X11Session &x, const QList<QRect> &buttons)
{
    QByteArray wrong;
    for (const QRect &button : buttons)
        for (const QPoint &point : innerPoints(button))
            if (const QColor colour = x.grab(QRect(point, QSize(1, 1))).pixelColor(0, 0); colour != Face)
                wrong += QByteArray::number(point.x()) + ',' + QByteArray::number(point.y()) + ' '
                         + colour.name().toLatin1() + ' ';
    return wrong;
}

} // namespace

class TestWindowLook : public QObject {
    Q_OBJECT
private slots:
    void buttonFaces_data()
    {
        QTest::addColumn<QString>("variable");
        QTest::addColumn<QString>("value");
        QTest::newRow("Fusion") << QString() << QString();
        QTest::newRow("GTK platform theme") << "QT_QPA_PLATFORMTHEME" << "gtk3";
        QTest::newRow("Windows style") << "QT_STYLE_OVERRIDE" << "Windows";
    }

    void buttonFaces()
    {
        QFETCH(QString, variable);
        QFETCH(QString, value);
        if (value == QLatin1String("gtk3")
            && !QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::PluginsPath)
                                  + QStringLiteral("/platformthemes/libqgtk3.so")))
            QSKIP("the GTK platform theme is not installed");
        X11Session x(X11Session::Openbox);
        TEKKORA_START_X11(x);
        QProcessEnvironment env;
        if (!variable.isEmpty())
            env.insert(variable, value);
        QVERIFY2(x.launch(QStringLiteral(TEKKORA_EXECUTABLE), env), qPrintable(x.error()));
        const XWindow main = x.waitForWindow(QStringLiteral("Tekkora!"));
        QVERIFY(main != 0);
        QVERIFY(x.waitForFocus(main));

        // Command1 and Command2, at the foot of the client area.
        const auto button = [&](int left) {
            const QRect client = x.clientGeometry(main);
            return QRect(client.left() + left, client.bottom() + 1 - 138 + 104, 73, 25);
        };
        QTRY_VERIFY2_WITH_TIMEOUT(facesOff(x, {button(8), button(88)}).isEmpty(),
                                  facesOff(x, {button(8), button(88)}).constData(), DisplayTimeoutMs);
        const QRect start = button(8), quit = button(88);
        // Start, the default button with the focus, still shows it at its edges.
        const QImage startImage = x.grab(start), quitImage = x.grab(quit);
        bool edgesDiffer = false;
        for (int y = 0; y < start.height(); ++y)
            for (int x = 0; x < start.width(); ++x)
                if (x < 2 || y < 2 || x >= start.width() - 2 || y >= start.height() - 2)
                    edgesDiffer |= startImage.pixel(x, y) != quitImage.pixel(x, y);
        QVERIFY(edgesDiffer);

        // The about box's OK.
        x.pressKey(KeyH, AltL);
        x.pressKey(KeyV);
        const XWindow about = x.waitForWindow(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
        QVERIFY(about != 0);
        const auto ok = [&] { return QRect(x.clientGeometry(about).topLeft() + QPoint(240, 77), QSize(92, 23)); };
        QTRY_VERIFY2_WITH_TIMEOUT(facesOff(x, {ok()}).isEmpty(), facesOff(x, {ok()}).constData(), DisplayTimeoutMs);
        x.pressKey(Escape);
        QVERIFY(x.waitForNoWindow(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報")));
        x.closeWindow(main);
        QVERIFY(x.waitForExit());
    }
};

QTEST_GUILESS_MAIN(TestWindowLook)
#include "tst_windowlook.moc"
