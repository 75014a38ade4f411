// Following Score.txt on disk: a second read takes only what was appended,
// and starts over when the file shrank, was replaced or rewritten, or went.

#include "support/TestFiles.h"

#include "platform/ShiftJis.h"
#include "results/ScoreLogFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace tekkora;
using namespace tekkora::testing;

namespace {

QByteArray recordLine(int misses, int minute)
{
    ScoreRecord record;
    record.QuestionCount = 50;
    record.MissCount = std::int16_t(misses);
    record.Accuracy = 90.0f;
    record.ModeCaption = QStringLiteral("英字");
    record.AccuracyCaption = QStringLiteral("90.0");
    record.SpeedCaption = QStringLiteral("0.500");
    record.When = QDateTime(QDate(2000, 7, 15), QTime(9, minute));
    return toShiftJis(formatScoreRecord(record)).bytes + "\r\n";
}

QByteArray header()
{
    return toShiftJis(scoreLogHeader()).bytes;
}

QList<int> missesOf(const QList<ScoreRecord> &records)
{
    QList<int> misses;
    for (const ScoreRecord &record : records)
        misses << record.MissCount;
    return misses;
}

struct Read {
    ScoreLogFile::Update update;
    QList<ScoreRecord> records;
};

Read readAppended(ScoreLogFile &file, qint64 chunkBytes = 1 << 20)
{
    Read read;
    read.update = file.readAppended([&read](ScoreRecord &&record) { read.records.append(record); }, chunkBytes);
    return read;
}

enum class Change { Append, RewriteInPlace, ReplaceByRename, Delete };

} // namespace

Q_DECLARE_METATYPE(Change)

class TestScoreLogFile : public QObject {
    Q_OBJECT
private slots:
    void secondRead_data()
    {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<Change>("change");
        QTest::addColumn<QByteArray>("second"); // appended, or the whole new file
        QTest::addColumn<bool>("restarted");
        QTest::addColumn<QList<int>>("records"); // read the second time, by misses
        QTest::addColumn<int>("state");

        const QByteArray two = header() + recordLine(1, 0) + recordLine(2, 1);
        const int read = int(ScoreLogFile::State::Read);
        QTest::newRow("one run appended: only it is read")
            << two << Change::Append << recordLine(3, 2) << false << QList<int>{3} << read;
        QTest::newRow("nothing appended") << two << Change::Append << QByteArray() << false << QList<int>{} << read;
        QTest::newRow("a line finished by the second write")
            << two + recordLine(3, 2).first(30) << Change::Append << recordLine(3, 2).sliced(30) << false
            << QList<int>{3} << read;
        QTest::newRow("truncated and written again, shorter")
            << two << Change::RewriteInPlace << header() + recordLine(7, 5) << true << QList<int>{7} << read;
        QTest::newRow("rewritten in place, as long, other records")
            << two << Change::RewriteInPlace << header() + recordLine(8, 0) + recordLine(9, 1) << true
            << QList<int>{8, 9} << read;
        QTest::newRow("rewritten in place, longer")
            << two << Change::RewriteInPlace << header() + recordLine(4, 0) + recordLine(5, 1) + recordLine(6, 2)
            << true << QList<int>{4, 5, 6} << read;
        QTest::newRow("replaced by another file with the same start")
            << two << Change::ReplaceByRename << two + recordLine(3, 2) << true << QList<int>{1, 2, 3} << read;
        QTest::newRow("deleted") << two << Change::Delete << QByteArray() << true << QList<int>{}
                                 << int(ScoreLogFile::State::Missing);
    }
    void secondRead()
    {
        QFETCH(QByteArray, first);
        QFETCH(Change, change);
        QFETCH(QByteArray, second);
        QFETCH(bool, restarted);
        QFETCH(QList<int>, records);
        QFETCH(int, state);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Score.txt"));
        QVERIFY(writeAll(path, first));
        ScoreLogFile file(path);
        const Read before = readAppended(file);
        QCOMPARE(before.update.state, ScoreLogFile::State::Read);
        QVERIFY(!before.update.restarted);

        switch (change) {
        case Change::Append: {
            QFile log(path);
            QVERIFY(log.open(QIODevice::Append));
            QCOMPARE(log.write(second), second.size());
            break;
        }
        case Change::RewriteInPlace:
            QVERIFY(writeAll(path, second)); // truncates, same inode
            break;
        case Change::ReplaceByRename: {
            const QString other = dir.filePath(QStringLiteral("Score.new"));
            QVERIFY(writeAll(other, second));
            std::filesystem::rename(other.toStdU16String(), path.toStdU16String()); // replaces it in one step
            break;
        }
        case Change::Delete:
            QVERIFY(QFile::remove(path));
            break;
        }

        const Read after = readAppended(file, 7); // small slices: no line may be lost between them
        QCOMPARE(int(after.update.state), state);
        QCOMPARE(after.update.restarted, restarted);
        QCOMPARE(missesOf(after.records), records);
        QCOMPARE(file.reader().skippedLines(), 0);
    }

    void missingFileAppearsLater()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Score.txt"));
        ScoreLogFile file(path);
        const Read missing = readAppended(file);
        QCOMPARE(missing.update.state, ScoreLogFile::State::Missing);
        QVERIFY(!missing.update.restarted);

        QVERIFY(writeAll(path, header() + recordLine(4, 0)));
        const Read created = readAppended(file);
        QCOMPARE(created.update.state, ScoreLogFile::State::Read);
        QCOMPARE(missesOf(created.records), QList<int>{4});
    }

    // Nothing named Score.txt may hang the reader or be read as a log.
    void notAFile_data()
    {
        QTest::addColumn<bool>("fifo");
        QTest::newRow("a FIFO with no writer") << true;
        QTest::newRow("a folder") << false;
    }
    void notAFile()
    {
        QFETCH(bool, fifo);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Score.txt"));
        if (fifo)
#if defined(Q_OS_UNIX) && !defined(Q_OS_WASM)
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#else
            QSKIP("no FIFOs on this system");
#endif
        else
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Score.txt")));

        ScoreLogFile file(path);
        const Read read = readAppended(file);
        QCOMPARE(read.update.state, ScoreLogFile::State::Unreadable);
        QVERIFY(!read.update.error.isEmpty());
        QVERIFY(read.records.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestScoreLogFile)
#include "tst_scorelogfile.moc"
