// The program's style: the platform style, with the menu bar's extension
// icon read only when it is needed, and looking exactly as before when it is.

#include "ProgramStyle.h"

#include <QApplication>
#include <QMenuBar>
#include <QStyleOption>
#include <QTest>
#include <QToolButton>

using namespace tekkora;

namespace {

QImage imageOf(const QIcon &icon, int size)
{
    return icon.pixmap(QSize(size, size)).toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class TestProgramStyle : public QObject {
    Q_OBJECT
private slots:
    void iconsMatchThePlatformStyle_data()
    {
        QTest::addColumn<int>("icon");
        QTest::addColumn<Qt::LayoutDirection>("direction");
        QTest::newRow("extension, left to right") << int(QStyle::SP_ToolBarHorizontalExtensionButton) << Qt::LeftToRight;
        QTest::newRow("extension, right to left") << int(QStyle::SP_ToolBarHorizontalExtensionButton) << Qt::RightToLeft;
        QTest::newRow("vertical extension") << int(QStyle::SP_ToolBarVerticalExtensionButton) << Qt::LeftToRight;
        QTest::newRow("other icons pass through") << int(QStyle::SP_MessageBoxWarning) << Qt::LeftToRight;
    }

    void iconsMatchThePlatformStyle()
    {
        QFETCH(int, icon);
        QFETCH(Qt::LayoutDirection, direction);
        ProgramStyle style;
        QStyleOption option;
        option.direction = direction;
        const auto which = QStyle::StandardPixmap(icon);
        const QIcon ours = style.standardIcon(which, &option);
        const QIcon platform = style.baseStyle()->standardIcon(which, &option);
        QVERIFY(!ours.isNull());
        QCOMPARE(ours.availableSizes(), platform.availableSizes());
        if (direction == Qt::RightToLeft) {
            // The other way round really is another picture.
            QStyleOption leftToRight;
            QVERIFY(imageOf(platform, 16) != imageOf(style.baseStyle()->standardIcon(which, &leftToRight), 16));
        }
        for (int size : {16, 32}) {
            const QImage image = imageOf(ours, size);
            QVERIFY(!image.isNull());
            QCOMPARE(image, imageOf(platform, size));
        }
    }

    void directionComesFromTheWidgetWithoutAnOption()
    {
        ProgramStyle style;
        QWidget widget;
        widget.setLayoutDirection(Qt::RightToLeft);
        QStyleOption rightToLeft;
        rightToLeft.direction = Qt::RightToLeft;
        const QIcon ours = style.standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton, nullptr, &widget);
        QCOMPARE(imageOf(ours, 16),
                 imageOf(style.baseStyle()->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton, &rightToLeft), 16));
    }

    void crowdedMenuBarShowsItsChevron()
    {
        // As the program does, for the whole application.
        QApplication::setStyle(new ProgramStyle);
        const auto *style = qobject_cast<const ProgramStyle *>(QApplication::style());
        QVERIFY(style != nullptr);
        QWidget window;
        auto *bar = new QMenuBar(&window);
        for (int i = 0; i < 8; ++i)
            bar->addMenu(QStringLiteral("Menu %1").arg(i));
        bar->setGeometry(0, 0, 120, 24);
        window.resize(120, 60);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *extension = bar->findChild<QToolButton *>(QStringLiteral("qt_menubar_ext_button"));
        QVERIFY(extension != nullptr);
        QCOMPARE(extension->style(), style);
        QTRY_VERIFY(extension->isVisible());
        QVERIFY(!extension->icon().isNull());
        QCOMPARE(imageOf(extension->icon(), 16),
                 imageOf(style->baseStyle()->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton), 16));
        // Painted without complaint.
        QVERIFY(!extension->grab().isNull());
    }

    void outlivesItsStyle()
    {
        QIcon icon;
        {
            ProgramStyle style;
            icon = style.standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton);
        }
        // The style is gone before anybody asked for the image.
        QVERIFY(icon.pixmap(16).isNull());
    }
};

QTEST_MAIN(TestProgramStyle)
#include "tst_programstyle.moc"
