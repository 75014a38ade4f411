// The real program on an X display of 192 dpi (Xft.dpi, as desktops set it
// for a 2x screen): the main window is twice its 96-dpi size, and the icon
// it hands the window manager includes the 64-pixel drawing itself.

#include "X11Session.h"

#include <QTest>

using namespace tekkora::testing;

namespace {

const QString MainTitle = QStringLiteral("Tekkora!");

struct Sighting {
    QSize client;
    QList<QImage> icons;
};

// Starts the program, notes its main window, and closes it again.
bool sight(X11Session &x, Sighting &seen)
{
    if (!x.launch(QStringLiteral(TEKKORA_EXECUTABLE)))
        return false;
    const XWindow window = x.waitForWindow(MainTitle);
    if (window == 0)
        return false;
    seen.client = x.clientGeometry(window).size();
    seen.icons = x.windowIcons(window);
    x.closeWindow(window);
    return x.waitForExit() && x.program().exitCode() == 0;
}

QImage premultiplied(const QImage &image)
{
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

class TestX11Dpi : public QObject {
    Q_OBJECT
private slots:
    void twiceTheDensity()
    {
        X11Session x;
        TEKKORA_START_X11(x);
        Sighting normal, dense;
        QVERIFY2(sight(x, normal), qPrintable(x.error()));
        x.setResources("Xft.dpi:\t192\n");
        QVERIFY2(sight(x, dense), qPrintable(x.error()));

        QCOMPARE(normal.client.width(), 170);
        QCOMPARE(dense.client, normal.client * 2);

        const QImage drawn64 = premultiplied(QImage(QStringLiteral(":/icons/tekkora-64.png")));
        QVERIFY(!drawn64.isNull());
        QStringList sizes;
        bool offered = false;
        for (const QImage &icon : dense.icons) {
            sizes << QStringLiteral("%1x%2").arg(icon.width()).arg(icon.height());
            offered = offered || premultiplied(icon) == drawn64;
        }
        QVERIFY2(offered, qPrintable(QStringLiteral("the 64-pixel image is not among ") + sizes.join(u' ')));
    }
};

QTEST_GUILESS_MAIN(TestX11Dpi)
#include "tst_x11dpi.moc"
