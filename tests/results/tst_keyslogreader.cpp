// Keys.jsonl written and read back: every line the drill can write is read
// as written, whatever the keys and however the bytes arrive; any other line
// is skipped with its number and reason, never guessed at.

#include "support/TestFiles.h"

#include "platform/AppendOnlyFile.h"
#include "drill/DrillState.h"
#include "results/KeysLog.h"
#include "results/KeysLogFile.h"
#include "results/KeysLogReader.h"
#include "results/KeysLogTail.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace tekkora;
using namespace tekkora::testing;

Q_DECLARE_METATYPE(std::optional<tekkora::SkipReason>)

namespace {

// Runs as the drill records them, their keys drawn at random, each line
// with a run of its own; every key code 0-255 among the first's wrong keys.
QByteArrayList randomRuns(int count)
{
    QRandomGenerator random(2026);
    const QString sets[] = {QStringLiteral("英字"), QStringLiteral("数字"), QStringLiteral("全て"), QString()};
    QByteArrayList lines;
    int nextKey = 0;
    for (int run = 0; run < count; ++run) {
        const LetterCase letterCase = random.bounded(2) ? LetterCase::Lower : LetterCase::Upper;
        const int questions = run == 0 ? 30 : random.bounded(60);
        RunRecording recording;
        std::int32_t tick = std::int32_t(random.generate());
        recording.start(std::int16_t(questions), letterCase, tick);
        for (int q = 0; q < questions; ++q) {
            const int character = random.bounded(36);
            recording.shown(std::int16_t(character < 26 ? 'A' + character : '0' + character - 26));
            for (int w = random.bounded(3) == 0 || run == 0 ? random.bounded(12) : 0; w > 0; --w)
                recording.wrongKey(std::int16_t(nextKey < 256 ? nextKey++ : random.bounded(256)));
            if (q == questions - 1 && random.bounded(3) == 0)
                recording.ended();
            else
                recording.answered(tick += std::int32_t(random.bounded(5000)));
        }
        const QDateTime when(QDate(2026, 1, 1).addDays(random.bounded(900)),
                             QTime(random.bounded(24), random.bounded(60), random.bounded(60)), Qt::OffsetFromUTC,
                             (random.bounded(57) - 28) * 1800);
        lines << formatKeysRecord({when, sets[random.bounded(4)], letterCase, &recording.questions(), 0,
                                   std::size_t(-1), random.bounded(2) == 0});
    }
    return lines;
}

// Each run written again by the drill's writer.
QByteArrayList written(const KeysRuns &runs)
{
    QByteArrayList lines;
    for (const KeysRun &run : runs.runs) {
        lines << formatKeysRecord({run.localTime(), charSetText(run.charSet), run.letterCase, &runs.pool,
                                   run.firstQuestion, run.questionCount, run.weakDraw});
    }
    return lines;
}

struct ReadBack {
    QByteArrayList runs; // each written again by the drill's writer
    QList<SkippedLine> skipped;
    qint64 lines = 0;
    bool waiting = false;
};

ReadBack readInChunks(QByteArrayView log, qsizetype chunk)
{
    KeysLogReader reader;
    KeysRuns runs;
    for (qsizetype at = 0; at < log.size(); at += chunk)
        reader.feed(log.sliced(at, std::min(chunk, log.size() - at)), runs);
    return {written(runs), reader.skipped().kept(), reader.lines(), reader.waiting()};
}

// The latest runs of a set, as read back from the log's end in chunks, and
// as they were read forwards.
QByteArrayList readBackwards(QByteArrayView log, qsizetype chunk, std::uint8_t charSet, std::size_t wanted,
                             qsizetype maxLineBytes = KeysLogReader::MaxLineBytes)
{
    KeysLogTail tail(charSet, wanted, maxLineBytes);
    qsizetype at = log.size();
    for (; at > 0 && !tail.full(); at = std::max<qsizetype>(0, at - chunk))
        tail.feedBefore(log.sliced(std::max<qsizetype>(0, at - chunk), std::min(chunk, at)));
    if (at == 0)
        tail.finish();
    return written(tail.runs());
}
QByteArrayList latest(const ReadBack &read, std::uint8_t charSet, std::size_t wanted)
{
    QByteArrayList runs;
    for (qsizetype i = read.runs.size(); i-- > 0 && std::size_t(runs.size()) < wanted;)
        if (read.runs[i].contains("\"set\":\"" + charSetText(charSet).toUtf8() + '"'))
            runs << read.runs[i];
    return runs;
}

const QByteArray Example = R"({"v":1,"time":"2026-12-09T15:04:05+09:00","set":"数字","case":"upper","questions":[{"c":"7","ms":523},{"c":"3","ms":611,"wrong":["8","Shift"]},{"c":"5","ended":true}]})";

QByteArray changed(const char *from, const char *to)
{
    return QByteArray(Example).replace(from, to);
}

} // namespace

class TestKeysLogReader : public QObject {
    Q_OBJECT
private slots:
    // Whatever the drill records reads back the same, however the bytes of
    // many lines are cut.
    void writtenRunsReadBack()
    {
        const QByteArrayList written = randomRuns(60);
        const QByteArray log = written.join();
        for (qsizetype chunk : {qsizetype(1), qsizetype(7), qsizetype(500), log.size()}) {
            const ReadBack read = readInChunks(log, chunk);
            QCOMPARE(read.runs, written);
            QVERIFY(read.skipped.isEmpty());
            QVERIFY(!read.waiting);
            for (std::uint8_t set = 1; set <= 3; ++set) {
                for (std::size_t wanted : {7, 1000})
                    QCOMPARE(readBackwards(log, chunk, set, wanted), latest(read, set, wanted));
            }
        }
    }

    void lines_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("questions");
        QTest::addColumn<std::optional<SkipReason>>("skipped");
        const std::optional<SkipReason> read;
        const std::optional<SkipReason> notJson = SkipReason::NotJson, notARun = SkipReason::NotARun;

        QTest::newRow("the example") << Example << 3 << read;
        QTest::newRow("CR LF") << Example + "\r" << 3 << read;
        QTest::newRow("fields of a later version")
            << changed(R"("v":1,)", R"("v":1,"keyboard":{"layout":["us",{"x":[1,2.5e3,null,true]}]},)") << 3 << read;
        QTest::newRow("a question's unknown field") << changed(R"("ms":523)", R"("ms":523,"hold":[])") << 3 << read;
        QTest::newRow("another order, blanks")
            << QByteArray(R"( { "questions" : [ { "ms" : 1 , "c" : "a" } ] , "case" : "lower" , )"
                          R"("set" : "" , "time" : "2026-01-01T00:00:00+00:00" , "v" : 1 } )")
            << 1 << read;
        QTest::newRow("drawn weighted") << changed(R"("upper")", R"("upper","draw":"weak")") << 3 << read;
        QTest::newRow("set last") << changed(R"("set":"数字",)", "").chopped(1) + R"(,"set":"数字"})" << 3 << read;
        QTest::newRow("escaped character") << changed(R"("c":"7")", R"("c":"\u0037")") << 3 << read;
        QTest::newRow("cut short") << Example.chopped(3) << 0 << notJson;
        QTest::newRow("trailing junk") << Example + "x" << 0 << notJson;
        QTest::newRow("invalid UTF-8") << changed("数字", "\xE6\x95") << 0 << notJson;
        QTest::newRow("lone surrogate") << changed(R"("c":"7")", R"("c":"\ud800")") << 0 << notJson;
        QTest::newRow("nested too deep") << changed(R"("v":1,)", QByteArray(R"("v":1,"x":)") + QByteArray(100, '[')
                                                                    + QByteArray(100, ']') + ",")
                                         << 0 << notJson;
        QTest::newRow("version 2") << changed(R"("v":1)", R"("v":2)") << 0 << std::optional(SkipReason::OtherVersion);
        QTest::newRow("version 2, nothing else")
            << QByteArray(R"({"v":2,"runs":[]})") << 0 << std::optional(SkipReason::OtherVersion);
        QTest::newRow("no version") << changed(R"("v":1,)", "") << 0 << notARun;
        QTest::newRow("an array") << QByteArray("[1,2]") << 0 << notARun;
        QTest::newRow("a field twice") << changed(R"("case":"upper")", R"("case":"upper","case":"upper")") << 0
                                       << notARun;
        QTest::newRow("UTC as Z") << changed("+09:00", "Z") << 0 << notARun;
        QTest::newRow("offset -00:00") << changed("+09:00", "-00:00") << 0 << notARun;
        QTest::newRow("impossible date") << changed("12-09", "02-30") << 0 << notARun;
        QTest::newRow("unknown set") << changed("数字", "かな") << 0 << notARun;
        QTest::newRow("another draw") << changed(R"("upper")", R"("upper","draw":"even")") << 0 << notARun;
        QTest::newRow("another set first") << changed(R"("set")", R"("set":"英字","set")") << 0 << notARun;
        QTest::newRow("case Upper") << changed("upper", "Upper") << 0 << notARun;
        QTest::newRow("lower-case letter in an upper-case run") << changed(R"("8")", R"("g")") << 0 << notARun;
        QTest::newRow("c not a letter or digit") << changed(R"("c":"7")", R"("c":"+")") << 0 << notARun;
        QTest::newRow("neither ms nor ended") << changed(R"(,"ms":523)", "") << 0 << notARun;
        QTest::newRow("ms and ended") << changed(R"("ms":523)", R"("ms":523,"ended":true)") << 0 << notARun;
        QTest::newRow("ended false") << changed(R"("ended":true)", R"("ended":false)") << 0 << notARun;
        QTest::newRow("ended before the last") << changed(R"("ms":611)", R"("ended":true)") << 0 << notARun;
        QTest::newRow("ms as a fraction") << changed("523", "523.0") << 0 << notARun;
        QTest::newRow("ms past 32 bits") << changed("523", "4294967296") << 0 << notARun;
        QTest::newRow("ms negative") << changed("523", "-1") << 0 << notARun;
        QTest::newRow("unknown key name") << changed("Shift", "Hyper") << 0 << notARun;
        QTest::newRow("questions not an array")
            << Example.first(Example.indexOf("[")) + R"({"c":"7","ms":1}})" << 0 << notARun;
    }
    void lines()
    {
        QFETCH(QByteArray, line);
        QFETCH(int, questions);
        QFETCH(std::optional<SkipReason>, skipped);
        // After a run, so that a skipped line must leave nothing of its own.
        const QByteArray log = Example + "\n\n" + line + "\n" + Example + "\n";
        const ReadBack read = readInChunks(log, log.size());
        QCOMPARE(read.lines, 4);
        QCOMPARE(read.runs.size(), skipped ? 2 : 3);
        if (skipped)
            QCOMPARE(read.skipped, (QList<SkippedLine>{{3, *skipped}}));
        else
            QCOMPARE(read.runs[1].count("{\"c\""), questions);
        QCOMPARE(read.runs.last(), Example + "\n");
        QCOMPARE(readBackwards(log, 5, charset::Digits, 10), latest(read, charset::Digits, 10));
    }

    // The last line waits for its line end; a line too long for any run is
    // skipped as it ends, without being kept meanwhile.
    void unfinishedAndOverlongLines()
    {
        KeysLogReader reader;
        KeysRuns runs;
        reader.feed(Example.first(40), runs);
        QVERIFY(reader.waiting());
        QCOMPARE(reader.lines(), 0);
        reader.feed(Example.sliced(40) + "\n", runs);
        QCOMPARE(runs.runs.size(), std::size_t(1));
        QVERIFY(!reader.waiting());

        const QByteArray junk(1 << 20, 'x');
        for (qsizetype fed = 0; fed <= KeysLogReader::MaxLineBytes; fed += junk.size())
            reader.feed(junk, runs);
        reader.feed("\n" + Example + "\n", runs);
        QCOMPARE(reader.skipped().kept(), (QList<SkippedLine>{{2, SkipReason::TooLong}}));
        QCOMPARE(runs.runs.size(), std::size_t(2));
        // Backwards, on a lower limit: the line past it is passed over whole.
        const QByteArray overlong = Example + "\n" + Example + QByteArray(250, ' ') + "\n" + Example + "\n";
        QCOMPARE(readBackwards(overlong, 1, charset::Digits, 3, Example.size() + 60),
                 (QByteArrayList{Example + "\n", Example + "\n"}));
    }

    // Following the file: only what was appended is read, and a file
    // replaced by another starts everything over.
    void followedFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(KeysFileName);
        KeysLogFile file(path);
        QVERIFY(writeAll(path, Example + "\n" + Example + "\n"));
        KeysLogFile::Update update = file.readAppended();
        QCOMPARE(file.runs().runs.size(), std::size_t(2));
        QCOMPARE(update.firstNewRun, std::size_t(0));

        QVERIFY(appendToLog(path, {}, Example + "\n").ok());
        update = file.readAppended();
        QCOMPARE(update.firstNewRun, std::size_t(2));
        QVERIFY(!update.restarted);
        QCOMPARE(file.runs().runs.size(), std::size_t(3));

        QVERIFY(writeAll(path, "{}\n" + Example + "\n"));
        update = file.readAppended();
        QVERIFY(update.restarted);
        QCOMPARE(update.firstNewRun, std::size_t(0));
        QCOMPARE(file.runs().runs.size(), std::size_t(1));
        QCOMPARE(file.reader().skipped().count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestKeysLogReader)
#include "tst_keyslogreader.moc"
