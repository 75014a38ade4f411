// The classic look over the styles Qt may pick: the button faces in their
// colour inside the style's edges, with the focus and default cues still
// there; and menu marks as bare check marks, nothing beside unchecked items.

#include "ClassicLook.h"
#include "Palette.h"

#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QStyleFactory>
#include <QTest>

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
};

QTEST_MAIN(TestClassicLook)
#include "tst_classiclook.moc"
