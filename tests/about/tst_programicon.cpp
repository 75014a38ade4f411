#include "ProgramIcon.h"

#include <QImage>
#include <QtTest>

using namespace tekkora;

class TestProgramIcon : public QObject {
    Q_OBJECT

private slots:
    void images_data();
    void images();
    void iconCarriesBothSizes();
};

void TestProgramIcon::images_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("size");

    QTest::newRow("32x32") << ":/icons/tekkora-32.png" << 32;
    QTest::newRow("16x16") << ":/icons/tekkora-16.png" << 16;
}

void TestProgramIcon::images()
{
    QFETCH(QString, path);
    QFETCH(int, size);

    programIcon(); // registers the resources
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
}

void TestProgramIcon::iconCarriesBothSizes()
{
    const QIcon icon = programIcon();
    QVERIFY(icon.availableSizes().contains(QSize(32, 32)));
    QVERIFY(icon.availableSizes().contains(QSize(16, 16)));
    QCOMPARE(programIconImage32().size(), QSize(32, 32));
    // The small image is drawn on its own, not the big one scaled down.
    QCOMPARE(icon.pixmap(QSize(16, 16)).toImage().convertToFormat(QImage::Format_ARGB32),
             QImage(QStringLiteral(":/icons/tekkora-16.png")).convertToFormat(QImage::Format_ARGB32));
}

QTEST_MAIN(TestProgramIcon)
#include "tst_programicon.moc"
