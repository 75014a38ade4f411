// Reading Score.txt back: a log written by the drill's own results window is
// read with every figure exact; damaged lines are counted as skipped, never
// guessed at; and the result does not depend on how the bytes arrive.

#include "FakeForm2Controls.h"

#include "support/FakePlatform.h"
#include "support/TestFiles.h"

#include "platform/ShiftJis.h"
#include "results/Form2Procedures.h"
#include "results/ResultsText.h"
#include "results/ScoreLogReader.h"
#include "results/ScoreRecordBytes.h"

#include <QHash>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <malloc.h>

using namespace tekkora;
using namespace tekkora::testing;

Q_DECLARE_METATYPE(tekkora::SkipReason)

namespace {

const QByteArray CrLf("\r\n");

struct GoldenRun {
    std::uint8_t charSet;
    int questions;
    int misses;
    double seconds;
    QDateTime when;
};

// Runs in every character set, with long counts and the accuracies that
// take no pad, one blank and two blanks.
const QList<GoldenRun> GoldenRuns = {
    {charset::Letters, 50, 3, 26.15, QDateTime(QDate(2000, 7, 15), QTime(9, 5))},
    {charset::Digits, 30, 0, 12.0, QDateTime(QDate(2000, 7, 15), QTime(9, 7))},
    {charset::All, 10, 9, 7.5, QDateTime(QDate(2000, 7, 15), QTime(9, 8))},          // 10.0
    {charset::Letters, 20, 19, 20.0, QDateTime(QDate(2000, 7, 15), QTime(9, 9))},     // 5.0
    {charset::Digits, 1000, 56, 301.25, QDateTime(QDate(2000, 7, 16), QTime(0, 0))},  // long counts
    {charset::All, 20000, 10000, 9000.0, QDateTime(QDate(2000, 7, 17), QTime(23, 59))},
    {charset::Letters, 3, 1, 1.0, QDateTime(QDate(1999, 12, 31), QTime(23, 59))},     // 66.7, 0.333
    {charset::Digits, 5, 1, 2.0, QDateTime(QDate(2001, 1, 1), QTime(0, 1))},         // both counts padded
    {charset::All, 50, 0, 21.0, QDateTime(QDate(2001, 1, 1), QTime(0, 2))},          // 100.0
    {0, 10, 0, 5.0, QDateTime(QDate(2001, 1, 1), QTime(0, 3))},                       // empty mode
    {charset::Letters, 10, 0, 0.004, QDateTime(QDate(2024, 2, 29), QTime(12, 30))},   // 0.000
};

struct Golden {
    QByteArray log;
    QList<ScoreRecord> records; // what the drill put in each line
};

// The log as the drill writes it: each run through the results window's
// own Form_Load, appending to Score.txt in a scratch directory.
Golden writeGoldenLog()
{
    Golden golden;
    QTemporaryDir dir;
    for (const GoldenRun &run : GoldenRuns) {
        DrillState state;
        state.CharSet = run.charSet;
        state.QuestionCount = std::int16_t(run.questions);
        state.MissCount = std::int16_t(run.misses);
        state.Accuracy = computeAccuracy(state.QuestionCount, state.MissCount);
        state.ElapsedSeconds = run.seconds;
        FakePlatform fakes;
        fakes.clock.moment = run.when;
        FakeForm2Controls controls;
        Form2Procedures(state, RunRecording(), fakes.services(dir.path()), controls).Form_Load();

        ScoreRecord record;
        record.QuestionCount = state.QuestionCount;
        record.MissCount = state.MissCount;
        record.Accuracy = state.Accuracy;
        record.ModeCaption = controls.caption(FigureBox::LabMode);
        record.AccuracyCaption = controls.caption(FigureBox::LabPar);
        record.SpeedCaption = controls.caption(FigureBox::LabSp);
        record.When = run.when;
        golden.records.append(record);
    }
    golden.log = readAll(dir.filePath(QStringLiteral("Score.txt")));
    return golden;
}

const Golden &golden()
{
    static const Golden written = writeGoldenLog();
    return written;
}

// The golden log's lines without their line ends: the three header lines,
// then one line per record.
QList<QByteArray> goldenLines()
{
    return golden().log.chopped(2).replace("\r\n", "\n").split('\n');
}

constexpr int FirstRecordLine = 3;

QByteArray joined(const QList<QByteArray> &lines, const QByteArray &lineEnd = CrLf)
{
    QByteArray bytes;
    for (const QByteArray &line : lines)
        bytes += line + lineEnd;
    return bytes;
}

QList<int> allRecords()
{
    QList<int> indexes;
    for (int i = 0; i < golden().records.size(); ++i)
        indexes.append(i);
    return indexes;
}

QList<int> allRecordsBut(int index)
{
    QList<int> indexes = allRecords();
    indexes.removeAll(index);
    return indexes;
}

// One record's figures and texts, all of them, to compare lists at once.
QString describe(const ScoreRecord &record)
{
    return QStringLiteral("%1/%2 %3 [%4|%5|%6] %7")
        .arg(record.MissCount)
        .arg(record.QuestionCount)
        .arg(double(record.Accuracy), 0, 'g', 9)
        .arg(record.ModeCaption, record.AccuracyCaption, record.SpeedCaption)
        .arg(record.When.date().toString(Qt::ISODate) + QLatin1Char(' ') + record.When.time().toString());
}

QStringList describe(const QList<ScoreRecord> &records)
{
    QStringList texts;
    for (const ScoreRecord &record : records)
        texts << describe(record);
    return texts;
}

QStringList expectedRecords(const QList<int> &indexes)
{
    QStringList texts;
    for (int index : indexes)
        texts << describe(golden().records[index]);
    return texts;
}

// Bytes that are no text in any encoding, and no line end among them.
QByteArray junk(int size)
{
    QByteArray bytes;
    quint32 state = 12345;
    while (bytes.size() < size) {
        state = state * 1103515245u + 12345u;
        const char byte = char(state >> 24);
        if (byte != '\n')
            bytes += byte;
    }
    return bytes;
}

QByteArray asUtf8(const QByteArray &cp932)
{
    return fromShiftJis(cp932).value_or(QString()).toUtf8();
}

// How the unfinished last line reads, as a number for the tables.
using PendingKind = ScoreLogReader::Pending::Kind;

struct DamagedLog {
    const char *name;
    QByteArray log;
    QList<int> records; // golden records read, in order
    int skipped;
    int pending;        // what the unfinished last line is
    int pendingRecord;  // the golden record it holds, or -1
};

QList<DamagedLog> damagedVariants()
{
    QList<DamagedLog> logs;
    auto add = [&logs](const char *name, const QByteArray &log, const QList<int> &records, int skipped, int pending,
                       int pendingRecord) { logs.append({name, log, records, skipped, pending, pendingRecord}); };

    const QList<QByteArray> lines = goldenLines();
    const int count = int(golden().records.size());
    const int last = count - 1;
    auto changed = [&lines](int record, const std::function<void(QByteArray &)> &change) {
        QList<QByteArray> copy = lines;
        change(copy[FirstRecordLine + record]);
        return joined(copy);
    };
    auto inserted = [&lines](int beforeLine, const QList<QByteArray> &extra) {
        QList<QByteArray> copy = lines;
        for (qsizetype i = extra.size() - 1; i >= 0; --i)
            copy.insert(beforeLine, extra[i]);
        return joined(copy);
    };
    const int nothing = PendingKind::Nothing;

    add("as the drill writes it", golden().log, allRecords(), 0, nothing, -1);
    add("a line cut short", changed(2, [](QByteArray &line) { line.truncate(30); }), allRecordsBut(2), 1, nothing, -1);
    add("cut inside a two-byte character", changed(0, [](QByteArray &line) { line.truncate(17); }),
        allRecordsBut(0), 1, nothing, -1);
    add("binary junk as a line", inserted(FirstRecordLine + 4, {junk(300)}), allRecords(), 1, nothing, -1);
    add("junk in front of a record", changed(4, [](QByteArray &line) { line.prepend("\x1b[0m"); }),
        allRecordsBut(4), 1, nothing, -1);
    add("NUL in place of a blank", changed(2, [](QByteArray &line) { line[25] = '\0'; }),
        allRecordsBut(2), 1, nothing, -1);

    QByteArray mixed;
    for (int i = 0; i < lines.size(); ++i)
        mixed += lines[i] + (i % 2 == 0 ? QByteArray("\n") : CrLf);
    add("some lines end in LF alone", mixed, allRecords(), 0, nothing, -1);
    add("every line ends in LF alone", joined(lines, "\n"), allRecords(), 0, nothing, -1);
    add("a CR inside a line", changed(5, [](QByteArray &line) { line.insert(20, '\r'); }),
        allRecordsBut(5), 1, nothing, -1);
    add("a line ending CR CR LF", changed(6, [](QByteArray &line) { line += '\r'; }), allRecordsBut(6), 1, nothing, -1);
    add("empty lines, with and without CR", changed(3, [](QByteArray &line) { line.prepend("\r\n\n\r\n"); }),
        allRecords(), 0, nothing, -1);
    add("a line of blanks", inserted(FirstRecordLine + 3, {QByteArray(8, ' ')}), allRecords(), 1, nothing, -1);

    add("a record saved as UTF-8", changed(1, [](QByteArray &line) { line = asUtf8(line); }),
        allRecordsBut(1), 1, nothing, -1);
    QByteArray utf8 = "\xEF\xBB\xBF";
    for (const QByteArray &line : lines)
        utf8 += asUtf8(line) + CrLf;
    // The title and column lines are no longer the drill's either.
    add("the whole file saved as UTF-8", utf8, QList<int>(), count + 2, nothing, -1);

    add("a second header in the middle", inserted(FirstRecordLine + 5, lines.first(3)), allRecords(), 0, nothing, -1);
    add("a header line cut short", inserted(FirstRecordLine + 5, {lines[0].first(10)}), allRecords(), 1, nothing, -1);

    add("a decimal comma", changed(0, [](QByteArray &line) { line.replace('.', ','); }),
        allRecordsBut(0), 1, nothing, -1);
    add("one blank too many", changed(2, [](QByteArray &line) { line.insert(30, ' '); }),
        allRecordsBut(2), 1, nothing, -1);
    add("a count with a leading zero", changed(0, [](QByteArray &line) { line.replace(" 3/50", "03/50"); }),
        allRecordsBut(0), 1, nothing, -1);
    add("full-width digits", changed(3, [](QByteArray &line) { line.replace("20 ", "\x82\x51\x82\x4f "); }),
        allRecordsBut(3), 1, nothing, -1);
    add("an impossible date", changed(1, [](QByteArray &line) { line.replace("2000/07/15", "2000/02/30"); }),
        allRecordsBut(1), 1, nothing, -1);
    add("the hour 24", changed(1, [](QByteArray &line) { line.replace("09:07", "24:07"); }),
        allRecordsBut(1), 1, nothing, -1);
    add("a line longer than any record", inserted(FirstRecordLine + 2, {QByteArray(5000, 'x')}),
        allRecords(), 1, nothing, -1);

    add("the final line end missing", golden().log.chopped(2), allRecordsBut(last), 0, int(PendingKind::Record), last);
    add("the final line cut short, no line end", golden().log.chopped(2).chopped(5),
        allRecordsBut(last), 0, int(PendingKind::Skipped), -1);
    add("the final line end's LF missing", golden().log.chopped(1),
        allRecordsBut(last), 0, int(PendingKind::Record), last);
    add("an empty file", QByteArray(), QList<int>(), 0, nothing, -1);
    add("the header alone, its last line end missing", joined(lines.first(3)).chopped(2),
        QList<int>(), 0, int(PendingKind::Passed), -1);
    return logs;
}

void damagedLogsTable()
{
    QTest::addColumn<QByteArray>("log");
    QTest::addColumn<QList<int>>("records");
    QTest::addColumn<int>("skipped");
    QTest::addColumn<int>("pending");
    QTest::addColumn<int>("pendingRecord");
    for (const DamagedLog &damaged : damagedVariants())
        QTest::newRow(damaged.name) << damaged.log << damaged.records << damaged.skipped << damaged.pending
                                    << damaged.pendingRecord;
}

struct ReadBack {
    QStringList records;
    qsizetype skipped = 0;
    QList<SkippedLine> notes;
    ScoreLogReader::Pending pending;
};

// Feeds the log in pieces of `chunk` bytes (all at once for 0).
ReadBack readInChunks(const QByteArray &log, qsizetype chunk)
{
    ScoreLogReader reader;
    QList<ScoreRecord> records;
    if (chunk <= 0) {
        records = reader.feed(log);
    } else {
        for (qsizetype at = 0; at < log.size(); at += chunk)
            records += reader.feed(QByteArrayView(log).sliced(at, std::min(chunk, log.size() - at)));
    }
    return ReadBack{describe(records), reader.skippedLines(), reader.skipped().kept(), reader.pending()};
}

} // namespace

class TestScoreLogReader : public QObject {
    Q_OBJECT
private slots:
    void goldenLogIsWhatTheDrillWrote()
    {
        // Guards the tables below: the log holds the header and one line per
        // run, every record a line of its own.
        QCOMPARE(goldenLines().size(), FirstRecordLine + golden().records.size());
        QVERIFY(golden().log.endsWith(CrLf));
        QVERIFY(golden().log.startsWith(toShiftJis(scoreLogHeader()).bytes));
    }

    void damagedLogs_data() { damagedLogsTable(); }
    void damagedLogs()
    {
        QFETCH(QByteArray, log);
        QFETCH(QList<int>, records);
        QFETCH(int, skipped);
        QFETCH(int, pending);
        QFETCH(int, pendingRecord);

        const ReadBack read = readInChunks(log, 0);
        QCOMPARE(read.records, expectedRecords(records));
        QCOMPARE(read.skipped, skipped);
        QCOMPARE(int(read.pending.kind), pending);
        if (pendingRecord >= 0)
            QCOMPARE(describe(read.pending.record), describe(golden().records[pendingRecord]));

        // Each skipped line is named by its number, with the reason it has
        // when read alone.
        QCOMPARE(read.notes.size(), skipped);
        const QList<QByteArray> lines = log.split('\n');
        for (const SkippedLine &note : read.notes) {
            ScoreLogReader alone;
            alone.feed(lines.value(note.line - 1) + "\n");
            QCOMPARE(alone.skipped().kept(), (QList<SkippedLine>{{1, note.reason}}));
        }
        if (read.pending.kind == PendingKind::Skipped)
            QCOMPARE(read.pending.line, lines.size());
    }

    void skipReasons_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<SkipReason>("reason");
        QTest::newRow("not Shift_JIS") << "binary junk as a line" << SkipReason::NotShiftJis;
        QTest::newRow("not the drill's line") << "a decimal comma" << SkipReason::NotARecord;
        QTest::newRow("too long") << "a line longer than any record" << SkipReason::TooLong;
    }
    void skipReasons()
    {
        QFETCH(QString, damage);
        QFETCH(SkipReason, reason);
        for (const DamagedLog &damaged : damagedVariants()) {
            if (damage == QLatin1String(damaged.name))
                QCOMPARE(readInChunks(damaged.log, 0).notes.value(0).reason, reason);
        }
    }

    // Bytes arrive as the drill writes them and as the file is read: the
    // result is the same however they are cut.
    void sameWhateverTheChunks_data() { damagedLogsTable(); }
    void sameWhateverTheChunks()
    {
        QFETCH(QByteArray, log);
        const ReadBack whole = readInChunks(log, 0);
        for (qsizetype chunk : {1, 2, 3, 5, 17, 74, 1000, 1025}) {
            const ReadBack pieces = readInChunks(log, chunk);
            QCOMPARE(pieces.records, whole.records);
            QCOMPARE(pieces.skipped, whole.skipped);
            QCOMPARE(pieces.notes, whole.notes);
            QCOMPARE(pieces.pending.kind, whole.pending.kind);
            QCOMPARE(describe(pieces.pending.record), describe(whole.pending.record));
        }
    }

    // The reader writes and reads lines as bytes: for any record it writes
    // what the drill's formatter writes in CP932; it reads back every line
    // the drill writes, and of a line with a byte changed takes only what
    // the drill's formatter writes again to the same bytes.
    void bytesAreTheDrillsText()
    {
        QRandomGenerator random(19);
        const QList<int> counts{-32768, -100, -10, -9, -1, 0, 1, 9, 10, 99, 100, 1000, 9999, 10000, 32767};
        const QList<float> accuracies{-5.0f, 0.0f, 5.0f, 9.96f, 10.0f, 10.04f, 66.7f, 99.96f, 100.0f, 100.04f, 1e6f};
        const QStringList modes{"英字", "数字", "全て", "", "かな"};
        const QStringList odd{"1,5", "７.0", "abc", "", "-0.0", ".5"};
        for (int i = 0; i < 6000; ++i) {
            ScoreRecord record;
            record.MissCount = std::int16_t(counts[random.bounded(counts.size())]);
            record.QuestionCount = std::int16_t(random.bounded(3) ? counts[random.bounded(counts.size())]
                                                                  : random.bounded(-32768, 32768));
            record.Accuracy = random.bounded(2) ? accuracies[random.bounded(accuracies.size())]
                                                : float(random.bounded(100000)) / 1000.0f;
            record.AccuracyCaption = random.bounded(10) ? formatFixed(record.Accuracy, 1) : odd[random.bounded(odd.size())];
            record.SpeedCaption = random.bounded(10) ? formatFixed(random.generateDouble() * 20 - 2, 3)
                                                     : odd[random.bounded(odd.size())];
            record.ModeCaption = modes[random.bounded(modes.size())];
            record.When = QDateTime(QDate(random.bounded(0, 10000), random.bounded(1, 13), random.bounded(1, 32)),
                                    QTime(random.bounded(24), random.bounded(60)), Qt::UTC);
            QByteArray line = formatScoreRecordBytes(record);
            QCOMPARE(line, toShiftJis(formatScoreRecord(record)).bytes);
            const bool drillWrites = modes.indexOf(record.ModeCaption) < 4 && record.When.isValid()
                                     && record.AccuracyCaption == formatFixed(record.Accuracy, 1)
                                     && record.AccuracyCaption.toFloat() == record.Accuracy
                                     && !odd.contains(record.SpeedCaption);
            if (drillWrites)
                QCOMPARE(describe(parseScoreRecordBytes(line).value_or(ScoreRecord())), describe(record));
            line[random.bounded(line.size())] = char(random.bounded(256));
            if (const std::optional<ScoreRecord> read = parseScoreRecordBytes(line))
                QCOMPARE(toShiftJis(formatScoreRecord(*read)).bytes, line);
        }
    }

    // Comparing bytes takes the same lines as comparing decoded text only
    // while no character a record holds has a second CP932 spelling (as a
    // few symbols and kanji have).
    void recordCharactersHaveOneSpelling()
    {
        const QString recordCharacters = QStringLiteral("0123456789 /:.-%\u3000英字数全て回秒キー");
        ShiftJisDecoder decoder;
        QHash<QChar, QList<QByteArray>> spellings;
        for (int lead = 0; lead < 256; ++lead) {
            for (int trail = -1; trail < 256; ++trail) {
                QByteArray bytes(1, char(lead));
                if (trail >= 0)
                    bytes += char(trail);
                const std::optional<QString> text = decoder.decode(bytes);
                if (text && text->size() == 1 && recordCharacters.contains(text->front()))
                    spellings[text->front()].append(bytes);
            }
        }
        QCOMPARE(spellings.size(), recordCharacters.size());
        for (auto it = spellings.cbegin(); it != spellings.cend(); ++it)
            QCOMPARE(it.value(), QList<QByteArray>{toShiftJis(QString(it.key())).bytes});
    }

    // Whatever the bytes, the reader keeps no more than one record's worth
    // of an unfinished line: junk without a line end must not pile up.
    void overlongLineIsNotKept()
    {
#ifndef __GLIBC__
        QSKIP("the heap's figures are glibc's");
#else
        ScoreLogReader reader;
        const QByteArray piece = junk(1024);
        // In use: small blocks, and large ones mapped of their own.
        const auto heapInUse = [] { return mallinfo2().uordblks + mallinfo2().hblkhd; };
        const std::size_t heapBefore = heapInUse();
        for (int i = 0; i < 16 * 1024; ++i) // 16 MiB
            reader.feed(piece);
        const std::size_t heapAfter = heapInUse();
        QVERIFY2(heapAfter < heapBefore + 1024 * 1024,
                 qPrintable(QStringLiteral("the heap grew by %1 bytes").arg(heapAfter - heapBefore)));
        QCOMPARE(reader.skippedLines(), 0);
        QCOMPARE(reader.pending().kind, PendingKind::Skipped);

        reader.feed(QByteArray("\n") + golden().log);
        QCOMPARE(reader.skippedLines(), 1);
        QCOMPARE(reader.pending().kind, PendingKind::Nothing);
#endif
    }
};

QTEST_GUILESS_MAIN(TestScoreLogReader)
#include "tst_scorelogreader.moc"
