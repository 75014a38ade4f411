#include "ProgramIcon.h"

#include <QImage>
#include <QtTest>

using namespace tekkora;

class TestProgramIcon : public QObject {
    Q_OBJECT

private slots:
    void images_data();
    void images();
    void smallImageIsItsOwnDrawing();
};

namespace {
QImage argb(const QImage &image)
{
    return image.convertToFormat(QImage::Format_ARGB32);
}
} // namespace

void TestProgramIcon::images_data()
{
    QTest::addColumn<int>("size");
    for (int size : {16, 32, 48, 64, 128, 256})
        QTest::addRow("%dx%d", size, size) << size;
}

void TestProgramIcon::images()
{
    QFETCH(int, size);

    const QString path = QStringLiteral(":/icons/tekkora-%1.png").arg(size);
    const QImage image(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(image.size(), QSize(size, size));
    // A 16-colour palette image with a see-through background.
    QCOMPARE(image.format(), QImage::Format_Indexed8);
    QVERIFY(image.colorCount() <= 16);
    QVERIFY(image.hasAlphaChannel());
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    // More than a blank square: several colours actually in use.
    QSet<int> used;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            used.insert(image.pixelIndex(x, y));
    QVERIFY(used.size() >= 8);

    // The window icon offers the image at its own size up to 64 pixels,
    // rather than scaling a smaller one up; the larger ones are the about
    // box's on denser screens, each drawn at its size.
    const QIcon icon = programIcon();
    if (size <= 64) {
        QVERIFY(icon.availableSizes().contains(QSize(size, size)));
        QCOMPARE(argb(icon.pixmap(QSize(size, size)).toImage()), argb(image));
    } else {
        QVERIFY(!icon.availableSizes().contains(QSize(size, size))); // sent to the X server before the first frame
        QImage drawn = argb(programIconImage32(size / 32.0).toImage());
        drawn.setDevicePixelRatio(1.0);
        QCOMPARE(drawn, argb(image));
    }
    if (size > 32 && size % 32 == 0) {
        const QImage blownUp = argb(QImage(QStringLiteral(":/icons/tekkora-32.png"))).scaled(size, size);
        QVERIFY2(argb(image) != blownUp, "drawn at its size, not the 32-pixel image enlarged");
    }
    if (size == 64) {
        // The about box's picture on a screen of twice the density.
        const QPixmap picture = programIconImage32(2.0);
        QCOMPARE(picture.deviceIndependentSize(), QSizeF(32, 32));
        QImage drawn = argb(picture.toImage());
        drawn.setDevicePixelRatio(1.0);
        QCOMPARE(drawn, argb(image));
    }
}

void TestProgramIcon::smallImageIsItsOwnDrawing()
{
    // The 16-pixel image is a drawing of its own, not the big one scaled down.
    const QImage small(QStringLiteral(":/icons/tekkora-16.png"));
    QVERIFY(argb(small) != argb(QImage(QStringLiteral(":/icons/tekkora-32.png"))).scaled(16, 16));
    QCOMPARE(programIconImage32(1.0).size(), QSize(32, 32));
}

QTEST_MAIN(TestProgramIcon)
#include "tst_programicon.moc"
