// The main window as it is built: frame, controls, colours, fonts and menus.

#include "support/MainWindowRig.h"

#include <QFontInfo>
#include <QMenu>
#include <QMenuBar>

#include "Captions.h"
#include "Fonts.h"
#include "Twips.h"

using namespace tekkora;
using namespace tekkora::testing;

class TestForm1Layout : public QObject {
    Q_OBJECT
private slots:
    void frame()
    {
        MainWindowRig h;
        QVERIFY(h.showAndActivate());
        QCOMPARE(h.form->windowTitle(), QStringLiteral("Tekkora!"));
        QCOMPARE(h.form->centralWidget()->size(), QSize(170, 138));
        QCOMPARE(h.form->minimumSize(), h.form->maximumSize());
        const Qt::WindowFlags flags = h.form->windowFlags();
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!h.form->windowIcon().isNull());
        QVERIFY(h.form->windowIcon().availableSizes().contains(QSize(16, 16)));
        QVERIFY(h.form->windowIcon().availableSizes().contains(QSize(32, 32)));
        // The menu bar stays one row high above the client area.
        QVERIFY(h.form->menuBar()->height() < 40);
        QCOMPARE(h.form->centralWidget()->y(), h.form->menuBar()->height());
    }

    void controls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("twipsGeometry");
        QTest::newRow("Command2") << "Command2" << QRect(1320, 1560, 1095, 375);
        QTest::newRow("Command1") << "Command1" << QRect(120, 1560, 1095, 375);
        QTest::newRow("Label3") << "Label3" << QRect(120, 100, 495, 255);
        QTest::newRow("lblNum") << "lblNum" << QRect(1000, 100, 540, 180);
        QTest::newRow("lblMode") << "lblMode" << QRect(600, 100, 420, 180);
        QTest::newRow("Label2") << "Label2" << QRect(0, 1200, 2535, 255);
    }
    void controls()
    {
        QFETCH(QString, name);
        QFETCH(QRect, twipsGeometry);
        MainWindowRig h;
        QVERIFY(h.showAndActivate());
        const QWidget *widget = h.form->findChild<QWidget *>(name);
        QVERIFY(widget);
        const QRect g = widget->geometry();
        auto near = [](int actual, int twip) { return std::abs(actual * 15 - twip) <= 15; };
        QVERIFY2(near(g.x(), twipsGeometry.x()) && near(g.y(), twipsGeometry.y()) && near(g.width(), twipsGeometry.width())
                     && near(g.height(), twipsGeometry.height()),
                 qPrintable(QStringLiteral("%1: %2,%3 %4x%5").arg(name).arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height())));
    }

    void colours()
    {
        MainWindowRig h;
        QVERIFY(h.showAndActivate());
        const QImage image = h.form->centralWidget()->grab().toImage();
        // Corners of the client area, and the empty side of the hidden Esc hint.
        QCOMPARE(QColor(image.pixel(1, 1)), QColor(128, 128, 255));
        QCOMPARE(QColor(image.pixel(1, 136)), QColor(128, 128, 255));
        QCOMPARE(QColor(image.pixel(168, 85)), QColor(128, 128, 255));
        // A button face: the style shades it, but it stays the blue-violet tint.
        const QColor face(image.pixel(twips(1320) + 10, twips(1560) + 20));
        QVERIFY2(face.blue() > 230 && face.red() > 160 && face.red() < 215 && face.green() == face.red(),
                 qPrintable(face.name()));
        for (const char *name : {"Label1", "Label2", "Label3", "lblMode", "lblNum"}) {
            const QLabel *label = h.label(name);
            QCOMPARE(label->palette().color(QPalette::Window), QColor(128, 128, 255));
            QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::white));
            QVERIFY(label->autoFillBackground());
        }
        for (const char *name : {"Command1", "Command2"})
            QCOMPARE(h.button(name)->palette().color(QPalette::Button), QColor(192, 192, 255));
    }

    void captionsAndFonts()
    {
        MainWindowRig h;
        QVERIFY(h.showAndActivate());
        QCOMPARE(h.button("Command1")->text(), QStringLiteral("&Start"));
        QCOMPARE(h.button("Command2")->text(), QStringLiteral("&Quit"));
        QCOMPARE(h.label("Label3")->text(), QStringLiteral("Mode："));
        // Shown whole, colon included, within its fixed width.
        const QLabel *label3 = h.label("Label3");
        QVERIFY(label3->fontMetrics().horizontalAdvance(label3->text()) <= label3->width());
        QVERIFY(label3->fontMetrics().tightBoundingRect(label3->text()).right() < label3->width());
        QCOMPARE(h.label("Label2")->text().size(), 27);
        QCOMPARE(h.label("Label2")->text(), QStringLiteral("Push the \"Esc\" Key to Exit."));
        QVERIFY(h.label("Label2")->isHidden());
        const QFontInfo label1(h.label("Label1")->font());
        QVERIFY2(label1.family() == QLatin1String("IPAPGothic") || label1.family().startsWith(QLatin1String("Noto Sans CJK")),
                 qPrintable(label1.family()));
        // One line of the default font fits the smallest label.
        QVERIFY(QFontMetrics(h.label("lblNum")->font()).height() <= 15);
    }

    // Captions a few pixels too wide move their letters together; wider ones
    // are condensed; both end within their room.
    void fittingCaptions_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("overflow"); // pixels over the room, per letter
        QTest::addColumn<bool>("tightened");
        QTest::addColumn<bool>("condensed");
        QTest::newRow("fits, unchanged") << "Mode：" << 0 << false << false;
        QTest::newRow("a pixel a letter, tightened") << "Mode：" << 1 << true << false;
        QTest::newRow("two pixels a letter, condensed") << "Mode：" << 2 << false << true;
        QTest::newRow("kanji, tightened") << "数字のみ" << 1 << true << false;
    }

    void fittingCaptions()
    {
        QFETCH(QString, text);
        QFETCH(int, overflow);
        QFETCH(bool, tightened);
        QFETCH(bool, condensed);
        MainWindowRig h; // the application and its fonts
        const QFont font = defaultWindowFont();
        const int room = QFontMetrics(font).horizontalAdvance(text) - overflow * int(text.size());
        const QFont fitted = tightenedToFit(font, text, room);
        QVERIFY(QFontMetrics(fitted).horizontalAdvance(text) <= room);
        QCOMPARE(fitted.letterSpacing() < 0, tightened);
        QCOMPARE(fitted.stretch() != font.stretch(), condensed);
        QCOMPARE(fitted.family(), font.family());
        QCOMPARE(fitted.pointSizeF(), font.pointSizeF());
    }

    // The option captions stay whole within their fixed widths, whatever the
    // settings file gave; short ones keep the window's font.
    void optionCaptionsFit_data()
    {
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<QByteArray>("num");
        QTest::addColumn<QString>("modeCaption");
        QTest::addColumn<QString>("numCaption");
        QTest::addColumn<bool>("fitted");
        QTest::newRow("defaults") << QByteArray("1") << QByteArray("30") << "英字" << "30回" << false;
        QTest::newRow("unlimited, all") << QByteArray("3") << QByteArray("32767") << "全て" << "無制限" << false;
        QTest::newRow("five digits") << QByteArray("2") << QByteArray("12345") << "数字" << "12345回" << true;
        QTest::newRow("lowest count") << QByteArray("1") << QByteArray("-9999") << "英字" << "-9999回" << true;
    }
    void optionCaptionsFit()
    {
        QFETCH(QByteArray, mode);
        QFETCH(QByteArray, num);
        QFETCH(QString, modeCaption);
        QFETCH(QString, numCaption);
        QFETCH(bool, fitted);
        MainWindowRig h("[Data]\r\nMode=" + mode + "\r\nNum=" + num + "\r\n");
        QVERIFY(h.showAndActivate());
        const QLabel *lblMode = h.label("lblMode");
        const QLabel *lblNum = h.label("lblNum");
        QCOMPARE(lblMode->text(), modeCaption);
        QCOMPARE(lblNum->text(), numCaption);
        for (const QLabel *label : {lblMode, lblNum})
            QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(), qPrintable(label->text()));
        QCOMPARE(lblNum->font() != h.form->centralWidget()->font(), fitted);
        // Back to a short count: the window's font again.
        h.press(Qt::Key_F6);
        QCOMPARE(lblNum->text(), QStringLiteral("30回"));
        QCOMPARE(lblNum->font(), h.form->centralWidget()->font());
    }

    void focusAndTabOrder()
    {
        MainWindowRig h;
        QVERIFY(h.showAndActivate());
        QCOMPARE(QApplication::focusWidget(), h.button("Command1"));
        h.press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), h.button("Command2"));
        h.press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), h.button("Command1"));
        for (const char *name : {"Label1", "Label2", "Label3", "lblMode", "lblNum"})
            QCOMPARE(h.label(name)->focusPolicy(), Qt::NoFocus);
        // Esc with a button focused does nothing.
        h.press(Qt::Key_Escape);
        QVERIFY(h.form->isVisible());
        QCOMPARE(QApplication::focusWidget(), h.button("Command1"));
    }

    void menuTree_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QKeySequence>("shortcut");
        QTest::addColumn<bool>("checked");
        QTest::newRow("al") << "al" << "mode" << "英字のみ" << QKeySequence(Qt::CTRL | Qt::Key_E) << true;
        QTest::newRow("num") << "num" << "mode" << "数字のみ" << QKeySequence(Qt::CTRL | Qt::Key_N) << false;
        QTest::newRow("all") << "all" << "mode" << "全て" << QKeySequence(Qt::CTRL | Qt::Key_A) << false;
        QTest::newRow("n10") << "n10" << "set" << "10回" << QKeySequence(Qt::Key_F5) << false;
        QTest::newRow("n30") << "n30" << "set" << "30回" << QKeySequence(Qt::Key_F6) << true;
        QTest::newRow("n50") << "n50" << "set" << "50回" << QKeySequence(Qt::Key_F7) << false;
        QTest::newRow("n99") << "n99" << "set" << "無制限" << QKeySequence(Qt::Key_F8) << false;
        QTest::newRow("omoji") << "omoji" << "ca" << "大文字" << QKeySequence(Qt::CTRL | Qt::Key_O) << true;
        QTest::newRow("kmoji") << "kmoji" << "ca" << "小文字" << QKeySequence(Qt::CTRL | Qt::Key_K) << false;
        QTest::newRow("weak") << "weak" << "op" << "苦手な文字を多めに(&W)" << QKeySequence(Qt::Key_F9) << false;
        QTest::newRow("ver") << "ver" << "help" << "ﾊﾞｰｼﾞｮﾝ情報(&V)" << QKeySequence() << false;
    }
    void menuTree()
    {
        QFETCH(QString, name);
        QFETCH(QString, parent);
        QFETCH(QString, caption);
        QFETCH(QKeySequence, shortcut);
        QFETCH(bool, checked);
        MainWindowRig h; // no settings file: letters, 30, upper case
        const QAction *action = h.form->findChild<QAction *>(name);
        QVERIFY(action);
        QCOMPARE(action->text(), caption);
        QCOMPARE(action->shortcut(), shortcut);
        QCOMPARE(action->isChecked(), checked);
        QVERIFY(action->isEnabled());
        const QMenu *menu = h.form->findChild<QMenu *>(parent);
        QVERIFY(menu);
        QVERIFY(menu->actions().contains(const_cast<QAction *>(action)));
    }

    void menuOrderAndAccessKeys()
    {
        MainWindowRig h;
        const QList<QAction *> bar = h.form->menuBar()->actions();
        QCOMPARE(bar.size(), 2);
        QCOMPARE(bar[0]->text(), QStringLiteral("オプション(&O)"));
        QCOMPARE(bar[1]->text(), QStringLiteral("ヘルプ(&H)"));
        QStringList op;
        for (QAction *a : h.child<QMenu>("op")->actions())
            op << a->text();
        QCOMPARE(op, (QStringList{"モード(&M)", "回数(&S)", "表示(&C)", "", "苦手な文字を多めに(&W)"}));
        QVERIFY(h.child<QMenu>("op")->actions()[3]->isSeparator());
        QStringList set;
        for (QAction *a : h.child<QMenu>("set")->actions())
            set << a->objectName();
        QCOMPARE(set, (QStringList{"n10", "n30", "n50", "n99"}));
    }
};

QTEST_MAIN(TestForm1Layout)
#include "tst_form1layout.moc"
