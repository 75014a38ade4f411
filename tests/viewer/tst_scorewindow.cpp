// The score window on real files written by the drill's own writer: what it
// shows, how it follows the log live (appended, created, replaced, deleted,
// a last line still without its line end), and its keyboard use.

#include "KeyboardHeatMap.h"
#include "KeyboardKeys.h"
#include "ProgressChart.h"
#include "QtJapanese.h"
#include "ScoreLogLocation.h"
#include "ScoreWindow.h"
#include "WindowPlacement.h"

#include "support/ExampleRecord.h"
#include "support/TestFiles.h"

#include "drill/DrillState.h"
#include "platform/ShiftJis.h"
#include "results/KeysLog.h"
#include "results/ScoreLog.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>

using namespace tekkora;
using namespace tekkora::testing;

namespace {

ScoreRecord record(std::uint8_t charSet, int questions, int misses, double seconds, int minute)
{
    return drillRecord(charSet, questions, misses, seconds, QDateTime(QDate(2025, 5, 1), QTime(20, minute)));
}

// Three letters runs, two digits runs: 0.500, 0.400, 0.450 and 0.300, 0.350.
QList<ScoreRecord> fiveRuns()
{
    return {record(charset::Letters, 10, 1, 5.0, 0), record(charset::Digits, 30, 0, 9.0, 1),
            record(charset::Letters, 50, 2, 20.0, 2), record(charset::Digits, 10, 0, 3.5, 3),
            record(charset::Letters, 30, 0, 13.5, 4)};
}

void appendAll(const QList<ScoreRecord> &records, const QString &directory)
{
    for (const ScoreRecord &r : records)
        QVERIFY(AppendScoreRecord(r, directory).ok());
}

QString text(const QWidget &window, const char *name)
{
    const auto *label = window.findChild<QLabel *>(QLatin1String(name));
    return label != nullptr ? label->text() : QStringLiteral("<no %1>").arg(QLatin1String(name));
}

QTableView *table(const QWidget &window)
{
    return window.findChild<QTableView *>(QStringLiteral("runsTable"));
}

QString cell(const QWidget &window, int row, int column)
{
    const QAbstractItemModel *model = table(window)->model();
    return model->data(model->index(row, column)).toString();
}

// The table's column of seconds per key, top to bottom.
QStringList speeds(const QWidget &window)
{
    QStringList column;
    for (int row = 0; row < table(window)->model()->rowCount(); ++row)
        column << cell(window, row, 5);
    return column;
}

// A click on a table's column header.
void clickHeader(QTableView *table, int column)
{
    QHeaderView *header = table->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2));
}

// A line of Keys.jsonl as the drill writes it, `daysAgo` days before now.
QByteArray keysLine(const char *set, const QByteArray &questions, int daysAgo = 0)
{
    return "{\"v\":1,\"time\":\"" + keysLogTime(QDateTime::currentDateTime().addDays(-daysAgo)) + "\",\"set\":\""
           + set + "\",\"case\":\"upper\",\"questions\":[" + questions + "]}\n";
}

// Digits 40 days ago, letters yesterday (Esc on the last question), a cut
// line, digits now, a line of another version.
QByteArray keysLog()
{
    return keysLine("数字", "{\"c\":\"6\",\"ms\":500,\"wrong\":[\"9\"]},{\"c\":\"7\",\"ms\":300}", 40)
           + keysLine("英字", "{\"c\":\"A\",\"ms\":400},{\"c\":\"B\",\"ms\":600,\"wrong\":[\"V\",\"Shift\"]},{\"c\":\"A\",\"ended\":true,\"wrong\":[\"S\"]}", 1)
           + "{\"v\":1,\"time\":\"2026-12-01T20:00:00+09:00\",\"set\":\"英字\",\"ques" "\n"
           + keysLine("数字", "{\"c\":\"6\",\"ms\":700,\"wrong\":[\"9\"]},{\"c\":\"6\",\"ms\":800}")
           + "{\"v\":2,\"time\":\"2026-12-01T20:00:00+09:00\"}" "\n";
}

QStringList column(QAbstractItemModel *model, int column)
{
    QStringList cells;
    for (int row = 0; row < model->rowCount(); ++row)
        cells << model->data(model->index(row, column)).toString();
    return cells;
}

QStringList row(QAbstractItemModel *model, int row)
{
    QStringList cells;
    for (int column = 0; row >= 0 && row < model->rowCount() && column < model->columnCount(); ++column)
        cells << model->data(model->index(row, column)).toString();
    return cells;
}

// The page's message, above the charts or in their place.
bool messageShown(const QWidget &window)
{
    return !window.findChild<QLabel *>(QStringLiteral("lblMessage"))->isHidden()
           || !window.findChild<QLabel *>(QStringLiteral("lblNoRuns"))->isHidden();
}

} // namespace

class TestScoreWindow : public QObject {
    Q_OBJECT
private slots:
    // The window's own settings (the order of the table) in a test place,
    // forgotten before each test.
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { QSettings(QStringLiteral("Tekkora"), QStringLiteral("tekkora-score")).clear(); }

    void showsTheLog()
    {
        QTemporaryDir dir;
        appendAll(fiveRuns(), dir.path());
        ScoreWindow window(dir.filePath(QStringLiteral("Score.txt")));
        QCOMPARE(window.windowTitle(), QStringLiteral("Tekkora! スコア"));
        QCOMPARE(text(window, "lblRuns"), QStringLiteral("5"));
        QCOMPARE(text(window, "lblQuestions"), QStringLiteral("130"));
        QCOMPARE(text(window, "lblBest"), QStringLiteral("0.300"));
        QCOMPARE(text(window, "lblBestDate"), QStringLiteral("最速の回: 2025/05/01 20:01"));
        QCOMPARE(text(window, "lblLatest"), QStringLiteral("0.450"));
        QCOMPARE(text(window, "lblRecent"), QStringLiteral("—"));
        QCOMPARE(text(window, "lblSkipped"), QStringLiteral("読み飛ばした行: 0"));
        QVERIFY(!messageShown(window));
        // Newest first.
        QCOMPARE(speeds(window), (QStringList{"0.450", "0.350", "0.400", "0.300", "0.500"}));
        QCOMPARE(cell(window, 0, 0), QStringLiteral("2025/05/01 20:04"));
        QCOMPARE(cell(window, 0, 1), QStringLiteral("英字"));
        QCOMPARE(cell(window, 1, 4), QStringLiteral("100.0"));
        QCOMPARE(cell(window, 2, 4), QStringLiteral("96.0"));
        QCOMPARE(window.reportLine(), QStringLiteral("runs=5 questions=130 best=0.300 latest=0.450 skipped=0 key_runs=0 key_skipped=0"));
    }

    // Alt and the underlined letter choose the set, as the drill's Ctrl+E,
    // Ctrl+N and Ctrl+A do; the figures and the table follow.
    void setsByKeyboard_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("runs");
        QTest::addColumn<QString>("latest");
        QTest::addColumn<QStringList>("tableSpeeds");

        QTest::newRow("letters") << int(Qt::Key_E) << "optLetters" << "3" << "0.450"
                                 << QStringList{"0.450", "0.400", "0.500"};
        QTest::newRow("digits") << int(Qt::Key_N) << "optDigits" << "2" << "0.350" << QStringList{"0.350", "0.300"};
        QTest::newRow("all characters: none yet") << int(Qt::Key_A) << "optMixed" << "0" << "—" << QStringList{};
    }
    void setsByKeyboard()
    {
        QFETCH(int, key);
        QFETCH(QString, button);
        QTemporaryDir dir;
        appendAll(fiveRuns(), dir.path());
        ScoreWindow window(dir.filePath(QStringLiteral("Score.txt")));
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));

        // A mnemonic clicks its button after a short animation.
        QTest::keyClick(&window, Qt::Key(key), Qt::AltModifier);
        QTRY_VERIFY(window.findChild<QRadioButton *>(button)->isChecked());
        QTEST(text(window, "lblRuns"), "runs");
        QTEST(text(window, "lblLatest"), "latest");
        QTEST(speeds(window), "tableSpeeds");
        QCOMPARE(messageShown(window), text(window, "lblRuns") == QStringLiteral("0"));

        QTest::keyClick(&window, Qt::Key_M, Qt::AltModifier);
        QTRY_COMPARE(text(window, "lblRuns"), QStringLiteral("5"));
    }

    // The order list and the header show the same order, whichever is used;
    // a click on a header sorts, a second reverses; the orders of both
    // tables are there again in the next window.
    void sortByKeyboardAndHeader()
    {
        QTemporaryDir dir;
        appendAll(fiveRuns(), dir.path());
        ScoreWindow window(dir.filePath(QStringLiteral("Score.txt")));
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));

        auto *order = window.findChild<QComboBox *>(QStringLiteral("cmbSort"));
        QTest::keyClick(&window, Qt::Key_S, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), order);
        QCOMPARE(order->currentText(), QStringLiteral("日時 (降順)"));
        // Down to "秒/キー (昇順)", the last entry.
        for (int i = 0; i < order->count(); ++i)
            QTest::keyClick(order, Qt::Key_Down);
        QCOMPARE(order->currentText(), QStringLiteral("秒/キー (昇順)"));
        QCOMPARE(speeds(window), (QStringList{"0.300", "0.350", "0.400", "0.450", "0.500"}));
        QCOMPARE(table(window)->horizontalHeader()->sortIndicatorSection(), 5);

        clickHeader(table(window), 2);
        QCOMPARE(order->currentText(), QStringLiteral("ミス (昇順)"));
        QCOMPARE(cell(window, 0, 2), QStringLiteral("0"));
        clickHeader(table(window), 2);
        QCOMPARE(order->currentText(), QStringLiteral("ミス (降順)"));
        QCOMPARE(cell(window, 0, 2), QStringLiteral("2"));
        auto *keys = window.findChild<QTableView *>(QStringLiteral("keysTable"));
        clickHeader(keys, 1);
        clickHeader(keys, 1);
        QCOMPARE(keys->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);

        ScoreWindow again(dir.filePath(QStringLiteral("Score.txt")));
        QCOMPARE(again.findChild<QComboBox *>(QStringLiteral("cmbSort"))->currentText(), QStringLiteral("ミス (降順)"));
        QCOMPARE(cell(again, 0, 2), QStringLiteral("2"));
        QHeaderView *keysAgain = again.findChild<QTableView *>(QStringLiteral("keysTable"))->horizontalHeader();
        QCOMPARE(std::pair(keysAgain->sortIndicatorSection(), keysAgain->sortIndicatorOrder()), std::pair(1, Qt::DescendingOrder));
    }

    // Each run is a dot, one run alone too; the pointer on a dot tells the
    // run's date, set and figures and picks it in the table.
    void chartDotPicksItsRun_data()
    {
        QTest::addColumn<QString>("chart");
        QTest::addColumn<QString>("set");
        QTest::addColumn<int>("point");
        QTest::addColumn<int>("dots");
        QTest::addColumn<QString>("tip");
        QTest::addColumn<QString>("selectedSpeed");

        QTest::newRow("speed, the first run") << "chartSpeed" << "optEvery" << 0 << 5 << "2025/05/01 20:00  英字"
                                              << "0.500";
        QTest::newRow("accuracy, the last run") << "chartAccuracy" << "optEvery" << 4 << 5 << "正解率 100.0％  30 問"
                                                << "0.450";
        QTest::newRow("digits, the second") << "chartSpeed" << "optDigits" << 1 << 2 << "0.350 秒/キー" << "0.350";
    }
    void chartDotPicksItsRun()
    {
        QFETCH(QString, chart);
        QFETCH(QString, set);
        QFETCH(int, point);
        QFETCH(QString, tip);
        QTemporaryDir dir;
        appendAll(fiveRuns(), dir.path());
        ScoreWindow window(dir.filePath(QStringLiteral("Score.txt")));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.findChild<QRadioButton *>(set)->click();
        auto *view = window.findChild<ProgressChart *>(chart);

        QTEST(int(view->dots().size()), "dots");
        const QPoint at = view->dotPosition(point).toPoint();
        QCOMPARE(view->pointAt(at + QPoint(2, -2)), point);
        QTest::mouseMove(view->viewport(), at + QPoint(2, -2));
        QTRY_VERIFY(QToolTip::isVisible());
        QVERIFY2(QToolTip::text().contains(tip), qPrintable(QToolTip::text()));
        // Up while the pointer stays, past the toolkit's own tooltip time.
        QTest::qWait(1500);
        QVERIFY(QToolTip::isVisible());
        const QModelIndexList selected = table(window)->selectionModel()->selectedRows(5);
        QCOMPARE(selected.size(), 1);
        QTEST(selected.first().data().toString(), "selectedSpeed");
    }

    // The keys page on a log with damage: the runs of the set and period
    // chosen, each character's figures, the keys pressed instead, and the
    // keyboard's colours.
    void keysPage_data()
    {
        QTest::addColumn<QString>("set");
        QTest::addColumn<int>("period");
        QTest::addColumn<QString>("counts");
        QTest::addColumn<QStringList>("characters");
        QTest::addColumn<QStringList>("sixRow");
        QTest::addColumn<QStringList>("topPressedInstead");
        QTest::addColumn<int>("worstKey");
        QTest::addColumn<int>("bestKey");

        const QStringList six{"6", "3", "2", "66.7", "700", "800", "—", "—", "—", "—"};
        QTest::newRow("every run") << "optEvery" << 0 << "3 回  6 問" << QStringList{"A", "B", "6", "7"} << six
                                   << QStringList{"6", "9", "2"} << int('B') << int('A');
        QTest::newRow("digits") << "optDigits" << 0 << "2 回  4 問" << QStringList{"6", "7"} << six
                                << QStringList{"6", "9", "2"} << int('6') << int('7');
        // Esc's question counts only for the keys pressed instead; pairs of
        // equal counts in the order of the characters.
        QTest::newRow("letters") << "optLetters" << 0 << "1 回  2 問" << QStringList{"A", "B"} << QStringList()
                                 << QStringList{"A", "S", "1"} << int('B') << int('A');
        QTest::newRow("the last 30 days") << "optEvery" << 1 << "2 回  4 問" << QStringList{"A", "B", "6"}
                                          << QStringList{"6", "2", "1", "50.0", "750", "800", "—", "—", "—", "—"}
                                          << QStringList{"A", "S", "1"} << int('B') << int('A');
        QTest::newRow("the last 100 runs: all three") << "optEvery" << 2 << "3 回  6 問"
                                                      << QStringList{"A", "B", "6", "7"} << six
                                                      << QStringList{"6", "9", "2"} << int('B') << int('A');
    }
    void keysPage()
    {
        QFETCH(QString, set);
        QFETCH(int, period);
        QFETCH(QStringList, characters);
        QFETCH(int, worstKey);
        QFETCH(int, bestKey);
        QTemporaryDir dir;
        appendAll(fiveRuns(), dir.path());
        QVERIFY(writeAll(dir.filePath(KeysFileName), keysLog()));
        ScoreWindow window(dir.filePath(QStringLiteral("Score.txt")));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.findChild<QRadioButton *>(set)->click();
        auto *periods = window.findChild<QComboBox *>(QStringLiteral("cmbPeriod"));
        periods->setCurrentIndex(period);
        emit periods->activated(period);

        QVERIFY(window.reportLine().endsWith(QStringLiteral(" key_runs=3 key_skipped=2")));
        QVERIFY(window.findChild<QLabel *>(QStringLiteral("lblKeySkipped"))->toolTip().contains(QStringLiteral("3 行目: ")));
        QTEST(text(window, "lblKeyCounts"), "counts");
        QAbstractItemModel *table = window.findChild<QTableView *>(QStringLiteral("keysTable"))->model();
        QCOMPARE(column(table, 0), characters);
        QVERIFY(table->headerData(6, Qt::Horizontal, Qt::ToolTipRole).toString().contains(QStringLiteral("後半の回と前半の回")));
        QTEST(row(table, int(characters.indexOf(QStringLiteral("6")))), "sixRow");
        QTEST(row(window.findChild<QTableWidget *>(QStringLiteral("tblPressedInstead"))->model(), 0), "topPressedInstead");
        // The scale's ends for the worst and the best key, grey for a key
        // not asked.
        auto *keyboard = window.findChild<KeyboardHeatMap *>();
        QCOMPARE(keyboard->colourOf(worstKey), QColor(215, 40, 40));
        QCOMPARE(keyboard->colourOf(bestKey), QColor(250, 250, 235));
        QCOMPARE(keyboard->colourOf('Z'), QColor(176, 176, 200));
    }

    // The keys page follows the per-key log as the drill appends to it.
    void keysPageFollowsTheLog()
    {
        QTemporaryDir dir;
        ScoreWindow window(dir.filePath(QStringLiteral("Score.txt")));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.reportLine().endsWith(QStringLiteral(" key_runs=0 key_skipped=0")));
        QVERIFY(!window.findChild<QLabel *>(QStringLiteral("lblKeysMessage"))->isHidden());

        QVERIFY(writeAll(dir.filePath(KeysFileName), keysLog()));
        QTRY_VERIFY(window.reportLine().endsWith(QStringLiteral(" key_runs=3 key_skipped=2")));
        QFile log(dir.filePath(KeysFileName));
        QVERIFY(log.open(QIODevice::Append));
        log.write(keysLine("全て", "{\"c\":\"Q\",\"ms\":900,\"wrong\":[\"A\"]}"));
        log.close();
        QTRY_VERIFY(window.reportLine().endsWith(QStringLiteral(" key_runs=4 key_skipped=2")));
        QCOMPARE(text(window, "lblKeyCounts"), QStringLiteral("4 回  7 問"));
        QVERIFY(window.findChild<QLabel *>(QStringLiteral("lblKeysMessage"))->isHidden());
    }

    // The keyboard is drawn in the player's layout, else as a US keyboard;
    // the arrow keys walk it and its figures follow the key.
    void keyboard_data()
    {
        QTest::addColumn<bool>("layoutKnown");
        QTest::addColumn<QList<int>>("arrows");
        QTest::addColumn<QString>("rowQ");
        QTest::addColumn<QString>("current");

        QTest::newRow("US: the first key") << false << QList<int>{} << "QWERTYUIOP" << "1";
        QTest::newRow("US: right, down") << false << QList<int>{Qt::Key_Right, Qt::Key_Down} << "QWERTYUIOP" << "W";
        QTest::newRow("US: down, up, left at the row's start")
            << false << QList<int>{Qt::Key_Down, Qt::Key_Up, Qt::Key_Left} << "QWERTYUIOP" << "1";
        // AZERTY: A and Z where US has Q and W, Q where US has A.
        QTest::newRow("AZERTY: down, right") << true << QList<int>{Qt::Key_Down, Qt::Key_Right} << "AZERTYUIOP" << "Z";
    }
    void keyboard()
    {
        QFETCH(bool, layoutKnown);
        QFETCH(QList<int>, arrows);
        std::optional<KeyAnswers> answers;
        if (layoutKnown) {
            answers = KeyAnswers{};
            const char *rows[] = {"1234567890", "AZERTYUIOP", "QSDFGHJKLM", "WXCVBN"};
            const int first[] = {2, 16, 30, 44};
            for (int r = 0; r < 4; ++r)
                for (int i = 0; rows[r][i] != 0; ++i)
                    (*answers)[std::size_t(first[r] + i)] = std::int16_t(rows[r][i]);
        }
        const QList<KeyCap> keys = mainBlockKeys(answers);
        QString rowQ;
        QString everyAnswer;
        for (const KeyCap &key : keys) {
            if (key.at.y() == 1.0 && key.answers != 0)
                rowQ += QChar(key.answers);
            if (key.answers != 0)
                everyAnswer += QChar(key.answers);
        }
        QTEST(rowQ, "rowQ");
        std::sort(everyAnswer.begin(), everyAnswer.end());
        QCOMPARE(everyAnswer, QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"));

        QTemporaryDir dir;
        QVERIFY(writeAll(dir.filePath(KeysFileName), keysLog()));
        ScoreWindow window(dir.filePath(QStringLiteral("Score.txt")));
        auto *keyboard = window.findChild<KeyboardHeatMap *>();
        keyboard->setKeys(keys);
        window.findChild<QTabWidget *>()->setCurrentWidget(window.findChild<QWidget *>(QStringLiteral("pageKeys")));
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        keyboard->setFocus();
        for (int arrow : arrows)
            QTest::keyClick(keyboard, Qt::Key(arrow));
        QTEST(QString(QChar(keyboard->currentKey())), "current");
        QVERIFY(text(window, "lblKeyFigures").startsWith(QString(QChar(keyboard->currentKey())) + QLatin1Char(' ')));
    }

    // The window fits the work area of the screen it opens on, a 768-pixel
    // screen's at least; at its smallest its charts keep a plot to read.
    void fitsTheScreen_data()
    {
        QTest::addColumn<QSize>("available");
        QTest::newRow("a large screen") << QSize(1920, 1050);
        QTest::newRow("1366 x 768 less a panel") << QSize(1366, 740);
        QTest::newRow("1024 x 768 less two panels") << QSize(1024, 712);
    }
    void fitsTheScreen()
    {
        QFETCH(QSize, available);
        QTemporaryDir dir;
        appendAll(fiveRuns(), dir.path());
        ScoreWindow window(dir.filePath(QStringLiteral("Score.txt")));
        const QSize minimum = window.minimumSizeHint();
        const QSize size = ScoreWindow::openingSize(available, minimum);
        QVERIFY2(size.height() + 40 <= available.height(), qPrintable(QStringLiteral("%1 high").arg(size.height())));
        QVERIFY(size.width() + 16 <= available.width());
        QVERIFY(size.width() >= minimum.width() && size.height() >= minimum.height());

        window.show();
        window.resize(minimum);
        for (const char *name : {"chartSpeed", "chartAccuracy"}) {
            const auto *chart = window.findChild<ProgressChart *>(QLatin1String(name));
            QTRY_COMPARE(chart->height(), chart->minimumHeight());
            QVERIFY2(chart->chart()->plotArea().height() >= 100, qPrintable(QString::number(chart->chart()->plotArea().height())));
        }
    }

    // Beside the drill where the work area has room, narrowed down to the
    // window's least width, level with the drill; else nowhere (centred).
    void besideTheDrill_data()
    {
        QTest::addColumn<QRect>("drill");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QRect>("frame"); // empty: no room beside it
        const QRect fullHd(0, 0, 1920, 1050);
        QTest::newRow("right, narrowed") << QRect(875, 450, 170, 160) << fullHd << QRect(1045, 250, 875, 800);
        QTest::newRow("left of a drill at the right") << QRect(1700, 100, 170, 160) << fullHd << QRect(724, 100, 976, 800);
        QTest::newRow("a panel above") << QRect(1700, 0, 170, 160) << QRect(0, 30, 1920, 1020) << QRect(724, 30, 976, 800);
        QTest::newRow("1024 x 768: no room") << QRect(427, 315, 170, 160) << QRect(0, 0, 1024, 768) << QRect();
        QTest::newRow("a second screen") << QRect(2000, 100, 170, 160) << QRect(1920, 0, 1280, 1024)
                                         << QRect(2170, 100, 976, 800);
    }
    void besideTheDrill()
    {
        QFETCH(QRect, drill);
        QFETCH(QRect, area);
        QTEST(frameBeside(QSize(976, 800), 700, drill, area).value_or(QRect()), "frame");
    }

    void followsTheLogLive()
    {
        QTemporaryDir dir;
        appendAll(fiveRuns(), dir.path());
        ScoreWindow window(dir.filePath(QStringLiteral("Score.txt")));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        appendAll({record(charset::All, 50, 5, 40.0, 10)}, dir.path());
        QTRY_COMPARE(text(window, "lblRuns"), QStringLiteral("6"));
        QCOMPARE(text(window, "lblLatest"), QStringLiteral("0.800"));
        QCOMPARE(cell(window, 0, 1), QStringLiteral("全て"));

        // Damage is counted as it arrives.
        QFile log(dir.filePath(QStringLiteral("Score.txt")));
        QVERIFY(log.open(QIODevice::Append));
        log.write("2025/05/01 20:11 garbage\r\n\xff\xfe\r\n");
        log.close();
        QTRY_COMPARE(text(window, "lblSkipped"), QStringLiteral("読み飛ばした行: 2"));
        // Each with its line's number (a header of three lines, six runs)
        // and why.
        QCOMPARE(window.findChild<QLabel *>(QStringLiteral("lblSkipped"))->toolTip(),
                 QStringLiteral("読み飛ばした行 (行番号: 理由)\n10 行目: ドリルが書く形ではない\n11 行目: Shift_JIS ではない"));
        QCOMPARE(text(window, "lblRuns"), QStringLiteral("6"));
    }

    // A last line without its line end is shown while it reads as a record,
    // and counted once when the rest of the file arrives.
    void lastLineWithoutItsLineEnd()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Score.txt"));
        appendAll(fiveRuns(), dir.path());
        QVERIFY(writeAll(path, readAll(path).chopped(2)));
        ScoreWindow window(path);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(text(window, "lblRuns"), QStringLiteral("5"));
        QCOMPARE(table(window)->model()->rowCount(), 5);

        QFile log(path);
        QVERIFY(log.open(QIODevice::Append));
        log.write("\r\n" + toShiftJis(formatScoreRecord(record(charset::Digits, 10, 0, 2.0, 9))).bytes);
        log.close();
        QTRY_COMPARE(text(window, "lblLatest"), QStringLiteral("0.200"));
        QCOMPARE(text(window, "lblRuns"), QStringLiteral("6"));
        QCOMPARE(table(window)->model()->rowCount(), 6);
        QCOMPARE(speeds(window).first(2), (QStringList{"0.200", "0.450"}));
    }

    // No log yet: the window says so and keeps watching; the drill's first
    // run creates it; deleting or replacing it starts the window over.
    void logComesAndGoes()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Score.txt"));
        ScoreWindow window(path);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(text(window, "lblRuns"), QStringLiteral("0"));
        // In the charts' place, with no axis drawn.
        QVERIFY(text(window, "lblNoRuns").contains(QStringLiteral("まだありません")));
        QVERIFY(messageShown(window) && !window.findChild<ProgressChart *>(QStringLiteral("chartSpeed"))->isVisible());

        appendAll({record(charset::Letters, 10, 0, 4.0, 0)}, dir.path());
        QTRY_COMPARE(text(window, "lblRuns"), QStringLiteral("1"));
        QVERIFY(!messageShown(window) && window.findChild<ProgressChart *>(QStringLiteral("chartSpeed"))->isVisible());

        // Replaced whole, as an editor saving does.
        QTemporaryDir other;
        appendAll(fiveRuns(), other.path());
        QVERIFY(QFile::remove(path));
        QVERIFY(QFile::copy(other.filePath(QStringLiteral("Score.txt")), path));
        QTRY_COMPARE(text(window, "lblRuns"), QStringLiteral("5"));
        QCOMPARE(table(window)->model()->rowCount(), 5);
        // The new file is followed as the old one was.
        appendAll({record(charset::All, 10, 0, 6.0, 20)}, dir.path());
        QTRY_COMPARE(text(window, "lblRuns"), QStringLiteral("6"));

        QVERIFY(QFile::remove(path));
        QTRY_COMPARE(text(window, "lblRuns"), QStringLiteral("0"));
        QCOMPARE(table(window)->model()->rowCount(), 0);
        QVERIFY(messageShown(window));

        appendAll({record(charset::Digits, 10, 0, 3.0, 30)}, dir.path());
        QTRY_COMPARE(text(window, "lblRuns"), QStringLiteral("1"));
        QCOMPARE(text(window, "lblLatest"), QStringLiteral("0.300"));
    }

    void twentyRunsCompareTheLastTenWithTheTenBefore()
    {
        QTemporaryDir dir;
        QList<ScoreRecord> runs;
        for (int i = 0; i < 20; ++i)
            runs << record(charset::Letters, 10, 0, i < 10 ? 5.0 : 4.0, i);
        appendAll(runs, dir.path());
        ScoreWindow window(dir.filePath(QStringLiteral("Score.txt")));
        QCOMPARE(text(window, "lblRecent"), QStringLiteral("0.400"));
        QCOMPARE(text(window, "lblEarlier"), QStringLiteral("0.500"));
        QCOMPARE(text(window, "lblTrend"), QStringLiteral("その前の10回より 1 キーあたり 0.100 秒速くなりました"));
    }

    // Qt's own dialogs in the window's language: the open dialog's captions
    // and the buttons of every box.
    void qtDialogsInJapanese_data()
    {
        QTest::addColumn<QString>("context");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("japanese");
        QTest::newRow("Look in:") << "QFileDialog" << "Look in:" << "アドレス:";
        QTest::newRow("File name:") << "QFileDialog" << "File &name:" << "ファイル名(&N):";
        QTest::newRow("Cancel") << "QPlatformTheme" << "Cancel" << "キャンセル";
    }
    void qtDialogsInJapanese()
    {
        QFETCH(QString, context);
        QFETCH(QString, english);
        static const bool installed = installQtJapanese(*QCoreApplication::instance());
        QVERIFY(installed);
        QTEST(QCoreApplication::translate(context.toLatin1().constData(), english.toLatin1().constData()), "japanese");
    }

    // A folder given on the command line means the log inside it.
    void logPathFromWhatWasGiven()
    {
        QTemporaryDir dir;
        QCOMPARE(scoreLogPath(dir.path()), dir.filePath(QStringLiteral("Score.txt")));
        QCOMPARE(scoreLogPath(dir.filePath(QStringLiteral("Other.txt"))), dir.filePath(QStringLiteral("Other.txt")));
    }
};

QTEST_MAIN(TestScoreWindow)
#include "tst_scorewindow.moc"
