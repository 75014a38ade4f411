// The classic look over the styles Qt may pick: the button faces in their
// colour inside the style's edges, with the focus and default cues still
// there; menu marks as bare check marks, nothing beside unchecked items;
// and a menu bar's extension chevron, read late, the same as the style's.

#include "ClassicLook.h"
#include "Palette.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTest>
#include <QToolButton>

using namespace tekkora;

namespace {

// Points just inside a button's border, clear of its caption.
QList<QPoint> innerPoints(const QRect &button)
{
    const QRect inner = button.adjusted(3, 3, -3, -3);
    return {inner.topLeft(), inner.topRight(), inner.bottomLeft(), inner.bottomRight(),
            QPoint(inner.left(), inner.center().y())};
}

// Whether every pixel of the area has the same colour.
bool uniform(const QImage &image, const QRect &area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) != image.pixel(area.topLeft()))
                return false;
    return true;
}

void styleRows()
{
    QTest::addColumn<QString>("base");
    for (const QString &style : QStyleFactory::keys())
        QTest::newRow(qPrintable(style)) << style;
}

QImage imageOf(const QIcon &icon, int size)
{
    return icon.pixmap(QSize(size, size)).toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class TestClassicLook : public QObject {
    Q_OBJECT
private slots:
    void buttonFaces_data() { styleRows(); }
    void buttonFaces()
    {
        QFETCH(QString, base);
        ClassicLookStyle style(QStyleFactory::create(base));
        QWidget window;
        window.setStyle(&style);
        window.resize(200, 40);
        QPushButton *start = makeButton(&window, "Command1", QStringLiteral("&Start"), QRect(8, 8, 73, 25));
        QPushButton *quit = makeButton(&window, "Command2", QStringLiteral("&Quit"), QRect(88, 8, 73, 25));
        for (QPushButton *button : {start, quit})
            button->setStyle(&style);
        start->setDefault(true);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        start->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(start->hasFocus());

        const QImage image = window.grab().toImage();
        for (const QPushButton *button : {start, quit})
            for (const QPoint &point : innerPoints(button->geometry()))
                QCOMPARE(QColor(image.pixel(point)), colours::ButtonFace);
        // The default and focused button still stands out at its edges.
        bool differs = false;
        for (int y = 0; y < start->height() && !differs; ++y)
            for (int x : {0, 1, 2, start->width() - 3, start->width() - 2, start->width() - 1})
                differs |= image.pixel(start->pos() + QPoint(x, y)) != image.pixel(quit->pos() + QPoint(x, y));
        QVERIFY(differs);
    }

    void menuMarks_data() { styleRows(); }
    void menuMarks()
    {
        QFETCH(QString, base);
        ClassicLookStyle style(QStyleFactory::create(base));
        QMenu menu;
        menu.setStyle(&style);
        // Items without text: all an item shows is its mark.
        QAction *marked = menu.addAction(QString());
        QAction *unmarked = menu.addAction(QString());
        for (QAction *action : {marked, unmarked})
            action->setCheckable(true);
        marked->setChecked(true);
        menu.popup(QPoint(100, 100));
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        menu.setActiveAction(nullptr);

        const QImage image = menu.grab().toImage();
        const auto inside = [&](QAction *action) { return menu.actionGeometry(action).adjusted(1, 1, -1, -1); };
        QVERIFY(!uniform(image, inside(marked)));
        QVERIFY(uniform(image, inside(unmarked)));
        menu.close();
    }

    void iconsMatchTheBaseStyle_data()
    {
        QTest::addColumn<int>("icon");
        QTest::addColumn<Qt::LayoutDirection>("direction");
        QTest::addColumn<bool>("fromWidget"); // the direction from the widget, no option
        QTest::newRow("extension, left to right") << int(QStyle::SP_ToolBarHorizontalExtensionButton) << Qt::LeftToRight << false;
        QTest::newRow("extension, right to left") << int(QStyle::SP_ToolBarHorizontalExtensionButton) << Qt::RightToLeft << false;
        QTest::newRow("extension, right to left widget") << int(QStyle::SP_ToolBarHorizontalExtensionButton) << Qt::RightToLeft << true;
        QTest::newRow("vertical extension") << int(QStyle::SP_ToolBarVerticalExtensionButton) << Qt::LeftToRight << false;
        QTest::newRow("other icons pass through") << int(QStyle::SP_MessageBoxWarning) << Qt::LeftToRight << false;
    }

    void iconsMatchTheBaseStyle()
    {
        QFETCH(int, icon);
        QFETCH(Qt::LayoutDirection, direction);
        QFETCH(bool, fromWidget);
        ClassicLookStyle style(QStyleFactory::create(QStringLiteral("Fusion")));
        QStyleOption option;
        option.direction = direction;
        QWidget widget;
        widget.setLayoutDirection(direction);
        const auto which = QStyle::StandardPixmap(icon);
        const QIcon ours = fromWidget ? style.standardIcon(which, nullptr, &widget) : style.standardIcon(which, &option);
        const QIcon base = style.baseStyle()->standardIcon(which, &option);
        QVERIFY(!ours.isNull());
        QCOMPARE(ours.availableSizes(), base.availableSizes());
        if (direction == Qt::RightToLeft) {
            // The other way round really is another picture.
            QStyleOption leftToRight;
            QVERIFY(imageOf(base, 16) != imageOf(style.baseStyle()->standardIcon(which, &leftToRight), 16));
        }
        for (int size : {16, 32})
            QCOMPARE(imageOf(ours, size), imageOf(base, size));
    }

    void crowdedMenuBarShowsItsChevron()
    {
        ClassicLookStyle style(QStyleFactory::create(QStringLiteral("Fusion")));
        QWidget window;
        window.setStyle(&style);
        auto *bar = new QMenuBar(&window);
        for (int i = 0; i < 8; ++i)
            bar->addMenu(QStringLiteral("Menu %1").arg(i));
        bar->setGeometry(0, 0, 120, 24);
        window.resize(120, 60);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *extension = bar->findChild<QToolButton *>(QStringLiteral("qt_menubar_ext_button"));
        QVERIFY(extension != nullptr);
        QTRY_VERIFY(extension->isVisible());
        QCOMPARE(imageOf(extension->icon(), 16),
                 imageOf(style.baseStyle()->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton), 16));
        QVERIFY(!extension->grab().isNull());
    }

    void chevronOutlivesItsStyle()
    {
        QIcon icon;
        {
            ClassicLookStyle style;
            icon = style.standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton);
        }
        // The style is gone before anybody asked for the image.
        QVERIFY(icon.pixmap(16).isNull());
    }
};

QTEST_MAIN(TestClassicLook)
#include "tst_classiclook.moc"
