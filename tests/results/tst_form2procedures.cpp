// The results window's procedures on a window without widgets: the four
// figures, the room for long counts, the record they log, and the milestone
// messages of the OK button.

#include "support/TestFiles.h"
#include "FakeForm2Controls.h"

#include "support/FakePlatform.h"
#include "support/SystemFacts.h"

#include "results/Form2Procedures.h"
#include "results/ResultsText.h"
#include "results/ScoreLog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using namespace tekkora;
using namespace tekkora::testing;

namespace {

const RunRecording NoKeys;

DrillState finishedRun(int questions, int misses, double seconds, std::uint8_t charSet = charset::Letters)
{
    DrillState state;
    state.CharSet = charSet;
    state.QuestionCount = std::int16_t(questions);
    state.MissCount = std::int16_t(misses);
    state.Accuracy = questions > 0 ? computeAccuracy(state.QuestionCount, state.MissCount) : 0.0f;
    state.ElapsedSeconds = seconds;
    return state;
}

} // namespace

class TestForm2Procedures : public QObject {
    Q_OBJECT
private slots:
    void captions_data()
    {
        QTest::addColumn<int>("charSet");
        QTest::addColumn<int>("questions");
        QTest::addColumn<int>("misses");
        QTest::addColumn<float>("accuracy");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("miss");
        QTest::addColumn<QString>("par");
        QTest::addColumn<QString>("sp");

        QTest::newRow("example run") << 1 << 50 << 3 << 94.0f << 26.15 << "英字" << "3/50" << "94.0" << "0.523";
        QTest::newRow("no miss in 10") << 1 << 10 << 0 << 100.0f << 5.0 << "英字" << "0/10" << "100.0" << "0.500";
        QTest::newRow("1.0 s for 3 rounds down") << 2 << 3 << 1 << 66.7f << 1.0 << "数字" << "1/3" << "66.7"
                                                 << "0.333";
        QTest::newRow("2.0 s for 3 rounds up") << 3 << 3 << 0 << 100.0f << 2.0 << "全て" << "0/3" << "100.0"
                                               << "0.667";
        QTest::newRow("two integer digits") << 1 << 10 << 5 << 50.0f << 123.45 << "英字" << "5/10" << "50.0"
                                            << "12.345";
        QTest::newRow("accuracy 5") << 1 << 20 << 19 << 5.0f << 20.0 << "英字" << "19/20" << "5.0" << "1.000";
        QTest::newRow("accuracy 87.5 as a float") << 1 << 8 << 1 << 87.5f << 4.0 << "英字" << "1/8" << "87.5"
                                                  << "0.500";
        QTest::newRow("accuracy 0") << 1 << 3 << 3 << 0.0f << 3.0 << "英字" << "3/3" << "0.0" << "1.000";
        QTest::newRow("under a millisecond a key") << 1 << 10 << 0 << 100.0f << 0.004 << "英字" << "0/10" << "100.0"
                                                   << "0.000";
        QTest::newRow("unknown character set: empty mode")
            << 0 << 10 << 0 << 100.0f << 5.0 << "" << "0/10" << "100.0" << "0.500";
        QTest::newRow("character set 4: empty mode")
            << 4 << 10 << 0 << 100.0f << 5.0 << "" << "0/10" << "100.0" << "0.500";
        QTest::newRow("negative counts keep their sign")
            << 1 << -5 << -1 << 80.0f << 5.0 << "英字" << "-1/-5" << "80.0" << "-1.000";
    }
    void captions()
    {
        QFETCH(int, charSet);
        QFETCH(int, questions);
        QFETCH(int, misses);
        QFETCH(float, accuracy);
        QFETCH(double, seconds);
        QFETCH(QString, mode);
        QFETCH(QString, miss);
        QFETCH(QString, par);
        QFETCH(QString, sp);

        DrillState state = finishedRun(questions, misses, seconds, std::uint8_t(charSet));
        state.Accuracy = accuracy;
        QTemporaryDir dir;
        FakePlatform fakes;
        FakeForm2Controls controls;
        Form2Procedures form(state, NoKeys, fakes.services(dir.path()), controls);
        form.Form_Load();

        QCOMPARE(controls.caption(FigureBox::LabMode), mode);
        QCOMPARE(controls.caption(FigureBox::LabMiss), miss);
        QCOMPARE(controls.caption(FigureBox::LabPar), par);
        QCOMPARE(controls.caption(FigureBox::LabSp), sp);
        QVERIFY(controls.errors.isEmpty());
    }

    // Rounding works on the exact value of the double, as printf does, and
    // never takes the separator from a locale.
    void fixedFormatMatchesPrintf_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::newRow("exact tie 1/16") << 1.0 / 16 << 3;
        QTest::newRow("exact tie 3/16") << 3.0 / 16 << 3;
        QTest::newRow("just below a half") << 0.0005 << 3;
        QTest::newRow("2/3") << 2.0 / 3 << 3;
        QTest::newRow("float 66.7") << double(66.7f) << 1;
        QTest::newRow("large") << 65.535 << 3;
        QTest::newRow("negative") << -0.0625 << 3;
    }
    void fixedFormatMatchesPrintf()
    {
        QFETCH(double, value);
        QFETCH(int, decimals);
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.*f", decimals, value);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const QString text = formatFixed(value, decimals);
        QLocale::setDefault(QLocale::c());
        QCOMPARE(text, QString::fromLatin1(expected));
    }

    // The seconds a key from whole milliseconds: every figure is the exact
    // fraction ms / count to the nearest thousandth, a tie away from zero.
    void speedIsTheExactFractionRounded_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<qint64>("firstMs");
        QTest::addColumn<qint64>("lastMs");
        for (int count : {1, 2, 3, 7, 8, 10, 16, 30, 50, 64, 999, 1000, 32767})
            QTest::addRow("%d keys, up to 100 s", count) << count << qint64(0) << qint64(100000);
        QTest::newRow("10 keys, 200 s on") << 10 << qint64(200000) << qint64(220000);
        QTest::newRow("16 keys, near the tick counter's end") << 16 << qint64(4294867295) << qint64(4294967295);
        QTest::newRow("negative count") << -10 << qint64(0) << qint64(20000);
    }
    void speedIsTheExactFractionRounded()
    {
        QFETCH(int, count);
        QFETCH(qint64, firstMs);
        QFETCH(qint64, lastMs);
        const qint64 keys = std::abs(count);
        for (qint64 ms = firstMs; ms <= lastMs; ++ms) {
            const qint64 thousandths = ms / keys + (2 * (ms % keys) >= keys ? 1 : 0);
            // A negative count keeps its sign, on 0.000 too, as printf shows -0.
            const QString expected = QString::asprintf("%s%lld.%03lld", count < 0 ? "-" : "",
                                                       thousandths / 1000, thousandths % 1000);
            const QString shown = speedCaption(elapsedSeconds(0, std::int32_t(std::uint32_t(ms))), std::int16_t(count));
            if (shown != expected)
                QFAIL(qPrintable(
                    QStringLiteral("%1 ms over %2 keys: %3, not %4").arg(ms).arg(count).arg(shown, expected)));
        }
    }

    // Both counts behind a sign position: more than seven characters need
    // the wider LabMiss, with Label9 moved along.
    void roomForLongCounts_data()
    {
        QTest::addColumn<int>("questions");
        QTest::addColumn<int>("misses");
        QTest::addColumn<bool>("wide");
        QTest::newRow("99 in 999 keeps the layout") << 999 << 99 << false;
        QTest::newRow("9 in 9999 keeps the layout") << 9999 << 9 << false;
        QTest::newRow("10 in 1000 widens") << 1000 << 10 << true;
        QTest::newRow("0 in 10000 widens") << 10000 << 0 << true;
        QTest::newRow("0 in 32767 widens") << 32767 << 0 << true;
        QTest::newRow("a minus sign takes the blank's place") << -100 << -10 << false;
        QTest::newRow("negative long counts widen") << -1000 << -10 << true;
    }
    void roomForLongCounts()
    {
        QFETCH(int, questions);
        QFETCH(int, misses);
        QFETCH(bool, wide);
        const DrillState state = finishedRun(questions, 0, 10.0);
        DrillState run = state;
        run.MissCount = std::int16_t(misses);
        QTemporaryDir dir;
        FakePlatform fakes;
        FakeForm2Controls controls;
        Form2Procedures form(run, NoKeys, fakes.services(dir.path()), controls);
        form.Form_Load();
        QCOMPARE(controls.labMissWidth, wide ? 1095 : 975);
        QCOMPARE(controls.label9Left, wide ? 2280 : 2160);
    }

    void loadLogsOneRecordWithTheCaptions()
    {
        const DrillState state = finishedRun(50, 3, 26.15);
        QTemporaryDir dir;
        FakePlatform fakes;
        fakes.clock.moment = QDateTime(QDate(2000, 7, 15), QTime(9, 5));
        FakeForm2Controls controls;
        Form2Procedures form(state, NoKeys, fakes.services(dir.path()), controls);
        form.Form_Load();

        const QByteArray golden = readAll(QStringLiteral(TEKKORA_GOLDEN_DIR "/score-example.txt"));
        QCOMPARE(readAll(dir.filePath(QStringLiteral("Score.txt"))), golden);
        QVERIFY(controls.events.isEmpty());
    }

    void unwritableLogIsReportedOnce()
    {
        const DrillState state = finishedRun(10, 1, 5.0);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Score.txt")));
        FakePlatform fakes;
        FakeForm2Controls controls;
        Form2Procedures form(state, NoKeys, fakes.services(dir.path()), controls);
        form.Form_Load();

        QCOMPARE(controls.errors.size(), 1);
        QVERIFY(controls.errors.first().contains(QDir::toNativeSeparators(dir.filePath(QStringLiteral("Score.txt")))));
        QVERIFY(controls.errors.first().contains(systemReason(EISDIR, windows_error::AccessDenied)));
        // The results still show.
        QCOMPARE(controls.caption(FigureBox::LabMiss), QStringLiteral("1/10"));
        QCOMPARE(controls.caption(FigureBox::LabSp), QStringLiteral("0.500"));
    }

    void milestoneMessages_data()
    {
        QTest::addColumn<int>("questions");
        QTest::addColumn<QStringList>("events");

        const QString unload = QStringLiteral("unload");
        const QString second = QStringLiteral("message You Are Great!!");
        const QString third = QStringLiteral("message すげぇ！！");
        QTest::newRow("10: none") << 10 << QStringList{unload};
        QTest::newRow("200: none") << 200 << QStringList{unload};
        QTest::newRow("201: first") << 201 << QStringList{"message You are 201 Count!!", unload};
        QTest::newRow("500: first") << 500 << QStringList{"message You are 500 Count!!", unload};
        QTest::newRow("501: two") << 501 << QStringList{"message You are 501 Count!!", second, unload};
        QTest::newRow("1000: two") << 1000 << QStringList{"message You are 1000 Count!!", second, unload};
        QTest::newRow("1001: all three") << 1001 << QStringList{"message You are 1001 Count!!", second, third, unload};
        QTest::newRow("32767: all three")
            << 32767 << QStringList{"message You are 32767 Count!!", second, third, unload};
        QTest::newRow("negative: none") << -300 << QStringList{unload};
    }
    void milestoneMessages()
    {
        QFETCH(int, questions);
        QFETCH(QStringList, events);
        DrillState state = finishedRun(10, 0, 5.0);
        state.QuestionCount = std::int16_t(questions);
        FakePlatform fakes;
        FakeForm2Controls controls;
        Form2Procedures form(state, NoKeys, fakes.services(QString()), controls);
        form.Command1_Click();
        QCOMPARE(controls.events, events);
    }
};

QTEST_GUILESS_MAIN(TestForm2Procedures)
#include "tst_form2procedures.moc"
