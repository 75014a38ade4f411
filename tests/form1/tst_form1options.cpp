// The practice options through the real main window: menu items, their
// shortcut keys, the two option labels, and the way out.

#include "support/MainWindowRig.h"

#include <QMenu>

using namespace tekkora;
using namespace tekkora::testing;

namespace {
QStringList marked(const MainWindowRig &h)
{
    QStringList names;
    for (const char *name : {"al", "num", "all", "n10", "n30", "n50", "n99", "omoji", "kmoji", "weak"})
        if (h.action(name)->isChecked())
            names << QLatin1String(name);
    return names;
}
} // namespace

class TestForm1Options : public QObject {
    Q_OBJECT
private slots:
    void shortcutsSelectOptions_data()
    {
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QStringList>("marks");
        QTest::addColumn<int>("charSet");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("modeCaption");
        QTest::addColumn<QString>("numCaption");
        const QStringList base{"al", "n30", "omoji"};
        QTest::newRow("Ctrl+E letters (already)") << QKeySequence(Qt::CTRL | Qt::Key_E) << base << 1 << 30 << "英字" << "30回";
        QTest::newRow("Ctrl+N digits") << QKeySequence(Qt::CTRL | Qt::Key_N) << QStringList{"num", "n30", "omoji"} << 2 << 30
                                       << "数字" << "30回";
        QTest::newRow("Ctrl+A all") << QKeySequence(Qt::CTRL | Qt::Key_A) << QStringList{"all", "n30", "omoji"} << 3 << 30
                                    << "全て" << "30回";
        QTest::newRow("F5 ten") << QKeySequence(Qt::Key_F5) << QStringList{"al", "n10", "omoji"} << 1 << 10 << "英字" << "10回";
        QTest::newRow("F6 thirty (already)") << QKeySequence(Qt::Key_F6) << base << 1 << 30 << "英字" << "30回";
        QTest::newRow("F7 fifty") << QKeySequence(Qt::Key_F7) << QStringList{"al", "n50", "omoji"} << 1 << 50 << "英字" << "50回";
        QTest::newRow("F8 unlimited") << QKeySequence(Qt::Key_F8) << QStringList{"al", "n99", "omoji"} << 1 << 32767 << "英字"
                                      << "無制限";
        QTest::newRow("Ctrl+K lower case") << QKeySequence(Qt::CTRL | Qt::Key_K) << QStringList{"al", "n30", "kmoji"} << 1 << 30
                                           << "英字" << "30回";
        QTest::newRow("Ctrl+O upper case (already)") << QKeySequence(Qt::CTRL | Qt::Key_O) << base << 1 << 30 << "英字" << "30回";
        QTest::newRow("F9 weak characters") << QKeySequence(Qt::Key_F9) << base + QStringList{"weak"} << 1 << 30 << "英字"
                                            << "30回";
        QTest::newRow("F9 twice: off again") << QKeySequence(Qt::Key_F9, Qt::Key_F9) << base << 1 << 30 << "英字" << "30回";
    }
    void shortcutsSelectOptions()
    {
        QFETCH(QKeySequence, keys);
        QFETCH(QStringList, marks);
        QFETCH(int, charSet);
        QFETCH(int, limit);
        QFETCH(QString, modeCaption);
        QFETCH(QString, numCaption);
        MainWindowRig h;
        QVERIFY(h.showAndActivate());
        QTest::keySequence(h.form.get(), keys);
        QCOMPARE(marked(h), marks);
        QCOMPARE(int(h.state.CharSet), charSet);
        QCOMPARE(int(h.state.QuestionLimit), limit);
        QCOMPARE(h.label("lblMode")->text(), modeCaption);
        QCOMPARE(h.label("lblNum")->text(), numCaption);
        QVERIFY(!h.running());
    }

    void markedItemsChangeNothingButModeAndCountStillRefresh()
    {
        MainWindowRig h;
        QVERIFY(h.showAndActivate());
        h.label("lblNum")->setText(QStringLiteral("stale"));
        h.label("lblMode")->setText(QStringLiteral("stale"));
        h.state.RangeLow = 1; // would be reset if al_Click acted
        h.action("al")->trigger();
        QCOMPARE(h.state.RangeLow, std::int16_t(1));
        QCOMPARE(h.label("lblMode")->text(), QStringLiteral("英字"));
        QCOMPARE(h.label("lblNum")->text(), QStringLiteral("30回"));
        QCOMPARE(marked(h), (QStringList{"al", "n30", "omoji"}));

        // The display items do nothing at all when already marked.
        h.label("lblNum")->setText(QStringLiteral("stale"));
        h.action("omoji")->trigger();
        QCOMPARE(h.label("lblNum")->text(), QStringLiteral("stale"));
        QCOMPARE(marked(h), (QStringList{"al", "n30", "omoji"}));
    }

    void allCharactersFillTheKeyTableAndKeepTheRange()
    {
        MainWindowRig h;
        QVERIFY(h.showAndActivate());
        h.action("num")->trigger();
        h.action("all")->trigger();
        QCOMPARE(h.state.RangeLow, std::int16_t(48));
        QCOMPARE(h.state.RangeHigh, std::int16_t(57));
        // The table the menu filled, by its first and last entries drawn.
        h.fakes.random.script = {0.0f, 0.99999994f};
        h.start();
        QCOMPARE(h.label("Label1")->text(), QStringLiteral("A"));
        h.pressRightKey();
        QCOMPARE(h.label("Label1")->text(), QStringLiteral("9"));
        h.press(Qt::Key_Escape);
        QVERIFY(!h.running());
        h.action("al")->trigger();
        QCOMPARE(h.state.RangeLow, std::int16_t(65));
        QCOMPARE(h.state.RangeHigh, std::int16_t(90));
    }

    void countLabelCycles()
    {
        MainWindowRig h;
        QVERIFY(h.showAndActivate());
        QStringList captions;
        for (int i = 0; i < 5; ++i) {
            QTest::mouseClick(h.label("lblNum"), Qt::LeftButton);
            captions << h.label("lblNum")->text();
        }
        QCOMPARE(captions, (QStringList{"50回", "無制限", "10回", "30回", "50回"}));
        QCOMPARE(marked(h), (QStringList{"al", "n50", "omoji"}));
        QCOMPARE(h.state.QuestionLimit, std::int16_t(50));
    }

    void modeLabelCycles()
    {
        MainWindowRig h;
        QVERIFY(h.showAndActivate());
        QStringList captions;
        for (int i = 0; i < 3; ++i) {
            QTest::mouseClick(h.label("lblMode"), Qt::LeftButton);
            captions << h.label("lblMode")->text();
        }
        QCOMPARE(captions, (QStringList{"数字", "全て", "英字"}));
        QCOMPARE(h.state.CharSet, std::uint8_t(1));
        QCOMPARE(marked(h), (QStringList{"al", "n30", "omoji"}));
    }

    void loadedCountMarksItsItem_data()
    {
        QTest::addColumn<QByteArray>("num");
        QTest::addColumn<QStringList>("countMarks");
        QTest::addColumn<QString>("afterClick");
        QTest::newRow("ten") << QByteArray("10") << QStringList{"n10"} << "30回";
        QTest::newRow("fifty") << QByteArray("50") << QStringList{"n50"} << "無制限";
        QTest::newRow("unlimited") << QByteArray("32767") << QStringList{"n99"} << "10回";
        QTest::newRow("twenty, no item") << QByteArray("20") << QStringList{} << "30回";
    }
    void loadedCountMarksItsItem()
    {
        QFETCH(QByteArray, num);
        QFETCH(QStringList, countMarks);
        QFETCH(QString, afterClick);
        MainWindowRig h("[Data]\r\nNum=" + num + "\r\n");
        QVERIFY(h.showAndActivate());
        QStringList counts;
        for (const char *name : {"n10", "n30", "n50", "n99"})
            if (h.action(name)->isChecked())
                counts << QLatin1String(name);
        QCOMPARE(counts, countMarks);
        QTest::mouseClick(h.label("lblNum"), Qt::LeftButton);
        QCOMPARE(h.label("lblNum")->text(), afterClick);
    }

    void thirtyAfterALoadOfFiftySelectsThirty()
    {
        MainWindowRig h("[Data]\r\nNum=50\r\n");
        QVERIFY(h.showAndActivate());
        QTest::keyClick(h.form.get(), Qt::Key_F6);
        QCOMPARE(h.state.QuestionLimit, std::int16_t(30));
    }

    void optionsRestDuringARun()
    {
        MainWindowRig h;
        QVERIFY(h.showAndActivate());
        h.start();
        for (QKeySequence keys : {QKeySequence(Qt::CTRL | Qt::Key_N), QKeySequence(Qt::Key_F8), QKeySequence(Qt::CTRL | Qt::Key_K),
                                  QKeySequence(Qt::Key_F9)})
            QTest::keySequence(h.form.get(), keys);
        QCOMPARE(marked(h), (QStringList{"al", "n30", "omoji"}));
        QCOMPARE(h.state.CharSet, std::uint8_t(1));
        QVERIFY(h.running());
        for (const char *name : {"al", "num", "all", "n10", "n30", "n50", "n99", "omoji", "kmoji", "weak"})
            QVERIFY(!h.action(name)->isEnabled());
    }

    void quitButtonAndCloseBoxSaveAndEnd_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("Quit clicked") << 0;
        QTest::newRow("Space on a focused Quit") << 1;
        QTest::newRow("Alt+Q") << 2;
        QTest::newRow("close box") << 3;
    }
    void quitButtonAndCloseBoxSaveAndEnd()
    {
        QFETCH(int, how);
        MainWindowRig h;
        QVERIFY(h.showAndActivate());
        h.action("all")->trigger();
        h.action("n99")->trigger();
        h.action("kmoji")->trigger();
        QTest::keyClick(h.form.get(), Qt::Key_F9);
        switch (how) {
        case 0: QTest::mouseClick(h.button("Command2"), Qt::LeftButton); break;
        case 1:
            h.press(Qt::Key_Tab);
            h.press(Qt::Key_Space);
            break;
        case 2: h.press(Qt::Key_Q, Qt::AltModifier); break;
        default: h.form->close(); break;
        }
        // An access key clicks its button a moment later, as a click is shown.
        QTRY_COMPARE(h.programEnds, 1);
        QVERIFY(!h.form->isVisible());
        QFile file(h.dir.filePath(QStringLiteral("tekora.ini")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("[Data]\r\nMode=3 \r\nNum=32767 \r\nCap=0 \r\nWeak=1 \r\n"));
        // The next start reads it back.
        h.reload();
        QCOMPARE(marked(h), (QStringList{"all", "n99", "kmoji", "weak"}));
    }
};

QTEST_MAIN(TestForm1Options)
#include "tst_form1options.moc"
