// Score.txt: the bytes of the header and of each record, the columns they
// keep, appending to files that exist, failures that must not damage the
// file, and writers racing each other.

#include "support/ExampleRecord.h"
#include "support/SystemFacts.h"
#include "support/TestFiles.h"
#include "results/ScoreLog.h"

#include "platform/ShiftJis.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <future>
#include <thread>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace tekkora;
using namespace tekkora::testing;

namespace {

const QByteArray CrLf("\r\n");
constexpr int PerWriter = 500;

QByteArray cp932(const QString &text)
{
    return toShiftJis(text).bytes;
}

// The record of the second of two writers racing each other.
ScoreRecord secondWriterRecord()
{
    ScoreRecord second = exampleRecord();
    second.QuestionCount = 1000;
    second.MissCount = 56;
    second.ModeCaption = QStringLiteral("全て");
    second.SpeedCaption = QStringLiteral("12.345");
    return second;
}

// Appends the record PerWriter times; how many appends failed.
int appendRecords(const ScoreRecord &record, const QString &directory)
{
    int failed = 0;
    for (int i = 0; i < PerWriter; ++i)
        if (!AppendScoreRecord(record, directory).ok())
            ++failed;
    return failed;
}

} // namespace

class TestScoreLog : public QObject {
    Q_OBJECT
private slots:
    void newFileMatchesTheExampleByteForByte()
    {
        QTemporaryDir dir;
        const FileResult result = AppendScoreRecord(exampleRecord(), dir.path());
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.path, dir.filePath(QStringLiteral("Score.txt")));

        const QByteArray written = readAll(result.path);
        const QByteArray golden = readAll(QStringLiteral(TEKKORA_GOLDEN_DIR "/score-example.txt"));
        QCOMPARE(written, golden);

        QVERIFY(written.endsWith(CrLf));
        const QList<QByteArray> lines = written.chopped(2).split('\n');
        QCOMPARE(lines.size(), 4);
        for (const QByteArray &line : lines.first(3))
            QVERIFY(line.endsWith('\r'));
        QCOMPARE(lines[0].size() - 1, 39);
        QCOMPARE(lines[1], QByteArray("\r"));
        QCOMPARE(lines[2].size() - 1, 67);
        QCOMPARE(lines[3].size(), 74);
        QVERIFY(!written.startsWith("\xEF\xBB\xBF"));
    }

    void existingFileGetsOnlyTheRecord_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("file without a header") << QByteArray("notes of my own\r\n");
        QTest::newRow("last line without its line end") << QByteArray("half a line");
        QTest::newRow("a header and a record already")
            << readAll(QStringLiteral(TEKKORA_GOLDEN_DIR "/score-example.txt"));
    }
    void existingFileGetsOnlyTheRecord()
    {
        QFETCH(QByteArray, before);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Score.txt"));
        QVERIFY(writeAll(path, before));

        QVERIFY(AppendScoreRecord(exampleRecord(), dir.path()).ok());
        QCOMPARE(readAll(path), before + cp932(formatScoreRecord(exampleRecord())) + CrLf);
    }

    void directoryWithTrailingSeparator()
    {
        QTemporaryDir dir;
        const FileResult result = AppendScoreRecord(exampleRecord(), dir.path() + QLatin1Char('/'));
        QVERIFY(result.ok());
        QCOMPARE(result.path, dir.path() + QStringLiteral("/Score.txt"));
    }

    // The record's four fields and the columns they start in.
    void recordFields_data()
    {
        QTest::addColumn<int>("questions");
        QTest::addColumn<int>("misses");
        QTest::addColumn<float>("accuracy");
        QTest::addColumn<QString>("accuracyCaption");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("field1");
        QTest::addColumn<QString>("field2");
        QTest::addColumn<QString>("field3");
        QTest::addColumn<int>("field3Start");

        const QString when = QStringLiteral("2000/07/15 09:05\u3000\u3000");
        const QString letters = QStringLiteral("英字");
        QTest::newRow("example: 3 misses in 50")
            << 50 << 3 << 94.0f << "94.0" << letters << when + letters << " 3/50 回" << " 94.0 %" << 42;
        QTest::newRow("1 miss in 5: both counts padded")
            << 5 << 1 << 80.0f << "80.0" << letters << when + letters << " 1/ 5 回" << " 80.0 %" << 42;
        QTest::newRow("56 misses in 1000: nine characters")
            << 1000 << 56 << 94.4f << "94.4" << letters << when + letters << "56/1000 回" << " 94.4 %" << 42;
        QTest::newRow("five-digit counts: thirteen characters, one blank after")
            << 20000 << 10000 << 50.0f << "50.0" << letters << when + letters << "10000/20000 回" << " 50.0 %"
            << 42;
        QTest::newRow("no miss: 100 without pad")
            << 10 << 0 << 100.0f << "100.0" << letters << when + letters << " 0/10 回" << "100.0 %" << 42;
        QTest::newRow("accuracy 10: one blank")
            << 10 << 9 << 10.0f << "10.0" << letters << when + letters << " 9/10 回" << " 10.0 %" << 42;
        QTest::newRow("accuracy 5: two blanks")
            << 20 << 19 << 5.0f << "5.0" << letters << when + letters << "19/20 回" << "  5.0 %" << 42;
        QTest::newRow("accuracy 0: two blanks")
            << 3 << 3 << 0.0f << "0.0" << letters << when + letters << " 3/ 3 回" << "  0.0 %" << 42;
        QTest::newRow("digits mode")
            << 30 << 2 << 93.3f << "93.3" << "数字" << when + "数字" << " 2/30 回" << " 93.3 %" << 42;
        QTest::newRow("empty mode: field 2 still at 28")
            << 30 << 0 << 100.0f << "100.0" << "" << when << " 0/30 回" << "100.0 %" << 42;
        // A field that ends right on a column start still gets a whole
        // column of blanks, pushing the rest one column on.
        QTest::newRow("negative counts filling the column")
            << -10000 << -10 << 100.0f << "100.0" << letters << when + letters << " -10/ -10000 回" << "100.0 %"
            << 56;
        QTest::newRow("negative accuracy: no pad")
            << 10 << 20 << -100.0f << "-100.0" << letters << when + letters << "20/10 回" << "-100.0 %" << 42;
    }
    void recordFields()
    {
        QFETCH(int, questions);
        QFETCH(int, misses);
        QFETCH(float, accuracy);
        QFETCH(QString, accuracyCaption);
        QFETCH(QString, mode);
        QFETCH(QString, field1);
        QFETCH(QString, field2);
        QFETCH(QString, field3);
        QFETCH(int, field3Start);

        ScoreRecord record = exampleRecord();
        record.QuestionCount = std::int16_t(questions);
        record.MissCount = std::int16_t(misses);
        record.Accuracy = accuracy;
        record.AccuracyCaption = accuracyCaption;
        record.ModeCaption = mode;
        const QString field4 = QStringLiteral("0.523 秒/キー");
        const int field4Start = field3Start + 14;

        const QString line = formatScoreRecord(record);
        const QString blanks = QStringLiteral(" ");
        QCOMPARE(line.left(field1.size()), field1);
        QCOMPARE(line.mid(field1.size(), 28 - field1.size()), blanks.repeated(28 - field1.size()));
        QCOMPARE(line.mid(28, field2.size()), field2);
        const int afterField2 = 28 + int(field2.size());
        QCOMPARE(line.mid(afterField2, field3Start - afterField2), blanks.repeated(field3Start - afterField2));
        QCOMPARE(line.mid(field3Start, field3.size()), field3);
        const int afterField3 = field3Start + int(field3.size());
        QCOMPARE(line.mid(afterField3, field4Start - afterField3), blanks.repeated(field4Start - afterField3));
        QCOMPARE(line.mid(field4Start), field4);

        // What reaches the file is exactly this line in CP932.
        QTemporaryDir dir;
        QVERIFY(AppendScoreRecord(record, dir.path()).ok());
        QVERIFY(readAll(dir.filePath(QStringLiteral("Score.txt"))).endsWith(cp932(line) + CrLf));
    }

    void accuracyPad_data()
    {
        QTest::addColumn<float>("accuracy");
        QTest::addColumn<QString>("pad");
        QTest::newRow("100") << 100.0f << "";
        QTest::newRow("99.9") << 99.9f << " ";
        QTest::newRow("10.1") << 10.1f << " ";
        QTest::newRow("10, first match wins") << 10.0f << " ";
        QTest::newRow("9.9") << 9.9f << "  ";
        QTest::newRow("0") << 0.0f << "  ";
        QTest::newRow("below 0") << -0.1f << "";
        QTest::newRow("above 100") << 100.1f << "";
    }
    void accuracyPad()
    {
        QFETCH(float, accuracy);
        QFETCH(QString, pad);
        ScoreRecord record = exampleRecord();
        record.Accuracy = accuracy;
        record.AccuracyCaption = QStringLiteral("X");
        QCOMPARE(formatScoreRecord(record).mid(42, pad.size() + 3), pad + QStringLiteral("X %"));
    }

    void dateAndTimeKeepFixedSeparators_data()
    {
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<QString>("stamp");
        QTest::newRow("leading zeros") << QDateTime(QDate(2001, 2, 3), QTime(4, 5, 59)) << "2001/02/03 04:05";
        QTest::newRow("24-hour clock") << QDateTime(QDate(2024, 12, 31), QTime(23, 59)) << "2024/12/31 23:59";
        QTest::newRow("midnight") << QDateTime(QDate(2000, 1, 1), QTime(0, 0)) << "2000/01/01 00:00";
    }
    void dateAndTimeKeepFixedSeparators()
    {
        QFETCH(QDateTime, when);
        QFETCH(QString, stamp);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        ScoreRecord record = exampleRecord();
        record.When = when;
        const QString line = formatScoreRecord(record);
        QLocale::setDefault(QLocale::c());
        QCOMPARE(line.left(16), stamp);
    }

    // A log that cannot be written reports why and leaves the file as it was.
    void failureReportedAndNothingLost_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::newRow("a directory named Score.txt") << "directory";
        QTest::newRow("Score.txt pointing at a full disk") << "full";
        QTest::newRow("a FIFO without a reader: no hang") << "fifo";
        QTest::newRow("data directory missing") << "missing";
        QTest::newRow("character Shift_JIS cannot hold") << "unconvertible";
        QTest::newRow("read-only file") << "readonly";
    }
    void failureReportedAndNothingLost()
    {
        QFETCH(QString, obstacle);
        QTemporaryDir dir;
        QString directory = dir.path();
        const QString path = dir.filePath(QStringLiteral("Score.txt"));
        const QByteArray before = readAll(QStringLiteral(TEKKORA_GOLDEN_DIR "/score-example.txt"));
        ScoreRecord record = exampleRecord();
        bool fileBefore = false;

        if (obstacle == QLatin1String("directory")) {
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Score.txt")));
        } else if (obstacle == QLatin1String("full")) {
            if (!QFile::exists(QStringLiteral("/dev/full")))
                QSKIP("no /dev/full here");
            QVERIFY(QFile::link(QStringLiteral("/dev/full"), path));
        } else if (obstacle == QLatin1String("fifo")) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_WASM)
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0666) == 0);
#else
            QSKIP("no FIFOs on this system");
#endif
        } else if (obstacle == QLatin1String("missing")) {
            directory = dir.filePath(QStringLiteral("gone"));
        } else if (obstacle == QLatin1String("unconvertible")) {
            QVERIFY(writeAll(path, before));
            fileBefore = true;
            record.ModeCaption = QStringLiteral("한글");
        } else if (obstacle == QLatin1String("readonly")) {
            if (!readOnlyStopsWrites(false))
                QSKIP("a read-only file does not stop this process");
            QVERIFY(writeAll(path, before));
            fileBefore = true;
            QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner));
        }

        const FileResult result = AppendScoreRecord(record, directory);
        QVERIFY(!result.ok());
        QVERIFY(!result.error.isEmpty());
        QVERIFY(result.path.endsWith(QLatin1String("/Score.txt")));
        if (obstacle == QLatin1String("unconvertible"))
            QVERIFY(result.error.contains(QStringLiteral("한")));
        if (fileBefore)
            QCOMPARE(readAll(path), before);
        if (obstacle == QLatin1String("full"))
            QVERIFY(QFileInfo(path).isSymLink());
        if (obstacle == QLatin1String("missing"))
            QVERIFY(!QFileInfo::exists(directory));
    }

    // A write that stops part-way (here at a file size limit, as on a full
    // disk) is taken back: the file holds what it held before, and a file
    // this run created goes again so a later run writes its header.
    void shortWriteLeavesNoPartialLine_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::newRow("new file, header cut short") << QByteArray();
        QTest::newRow("record cut short") << QByteArray("0123456789\r\n");
    }
    void shortWriteLeavesNoPartialLine()
    {
        QFETCH(QByteArray, before);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Score.txt"));
        if (!before.isEmpty())
            QVERIFY(writeAll(path, before));

#if !defined(Q_OS_UNIX) || defined(Q_OS_WASM)
        QSKIP("no limit on file sizes on this system");
#else
        rlimit saved{};
        QVERIFY(::getrlimit(RLIMIT_FSIZE, &saved) == 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit tight = saved;
        tight.rlim_cur = rlim_t(before.size() + 20);
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &tight) == 0);
        const FileResult result = AppendScoreRecord(exampleRecord(), dir.path());
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        QVERIFY(!result.ok());
        QVERIFY(!result.error.isEmpty());
        if (before.isEmpty())
            QVERIFY(!QFileInfo::exists(path));
        else
            QCOMPARE(readAll(path), before);

        // With room again, the next run writes as if nothing had happened.
        QVERIFY(AppendScoreRecord(exampleRecord(), dir.path()).ok());
        const QByteArray expected = before.isEmpty()
                                        ? readAll(QStringLiteral(TEKKORA_GOLDEN_DIR "/score-example.txt"))
                                        : before + cp932(formatScoreRecord(exampleRecord())) + CrLf;
        QCOMPARE(readAll(path), expected);
#endif
    }

    // Two writers racing on a file that does not exist yet, the second a
    // thread or a second running copy of the program: one header, and every
    // record whole on a line of its own.
    void concurrentWritersLeaveWholeLines_data()
    {
        QTest::addColumn<bool>("copies");
        QTest::newRow("two threads") << false;
        QTest::newRow("this program and a copy of it") << true;
    }
    void concurrentWritersLeaveWholeLines()
    {
#if !QT_CONFIG(process)
        QSKIP("no second writer here: the browser's build has no other processes or threads");
#else
        QFETCH(bool, copies);
        QTemporaryDir dir;
        ScoreRecord first = exampleRecord();
        ScoreRecord second = secondWriterRecord();

        // Not std::latch: it hangs now and then on MinGW's threads.
        std::promise<void> go;
        const std::shared_future<void> started = go.get_future().share();
        int failures[2] = {0, 0};
        auto writer = [&](const ScoreRecord &record, int &failed) {
            started.wait();
            failed = appendRecords(record, dir.path());
        };
        QElapsedTimer timer;
        timer.start();
        std::thread a(writer, std::cref(first), std::ref(failures[0]));
        std::thread b;
        QProcess copy; // starts writing when the go file is there
        if (copies)
            copy.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--append"), dir.path()});
        else
            b = std::thread(writer, std::cref(second), std::ref(failures[1]));
        const bool copyStarted = !copies || copy.waitForStarted();
        writeAll(dir.filePath(QStringLiteral("go")), QByteArray());
        go.set_value();
        a.join();
        if (copies)
            failures[1] = copyStarted && copy.waitForFinished(120000) ? copy.exitCode() : -1;
        else
            b.join();
        qInfo("%d records from two writers in %lld ms", 2 * PerWriter, timer.elapsed());
        QCOMPARE(failures[0], 0);
        QCOMPARE(failures[1], 0);

        const QByteArray contents = readAll(dir.filePath(QStringLiteral("Score.txt")));
        QList<QByteArray> lines = contents.split('\n');
        QCOMPARE(lines.takeLast(), QByteArray()); // the file ends with a line end
        QList<QByteArray> header = cp932(scoreLogHeader()).split('\n');
        header.removeLast();
        const QByteArray firstLine = cp932(formatScoreRecord(first)) + '\r';
        const QByteArray secondLine = cp932(formatScoreRecord(second)) + '\r';
        int firsts = 0, seconds = 0, headerLines = 0;
        for (const QByteArray &line : lines) {
            if (line == firstLine)
                ++firsts;
            else if (line == secondLine)
                ++seconds;
            else if (header.contains(line))
                ++headerLines;
            else
                QFAIL(qPrintable(QStringLiteral("torn line: ") + QString::fromLatin1(line.toPercentEncoding())));
        }
        QCOMPARE(firsts, PerWriter);
        QCOMPARE(seconds, PerWriter);
        QCOMPARE(headerLines, 3);
        QCOMPARE(contents.count(header[0]), 1);
#endif
    }
};

// With "--append <directory>": the second writer, as a copy of the program.
int main(int argc, char *argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--append") == 0) {
        const QString directory = QString::fromLocal8Bit(argv[2]);
        for (int waited = 0; !QFile::exists(directory + QStringLiteral("/go")) && waited < 60000; ++waited)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return appendRecords(secondWriterRecord(), directory);
    }
    QCoreApplication app(argc, argv);
    TestScoreLog test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_scorelog.moc"
