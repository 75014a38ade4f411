#include "ScoreLog.h"

#include "platform/DataDirectory.h"
#include "platform/ShiftJis.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tekkora {

namespace {

const QString LineEnd = QStringLiteral("\r\n");
constexpr QChar IdeographicSpace(0x3000);

QString spaces(qsizetype count)
{
    return QString(count, QLatin1Char(' '));
}

// Blanks up to the next column start. A field that ends right on a column
// start still gets a whole column of blanks, so fields never run together.
void padToNextColumn(QString &line)
{
    line += spaces(ScoreColumnWidth - line.size() % ScoreColumnWidth);
}

QString accuracyPad(float accuracy)
{
    // First match wins: 100 itself takes no pad, 10 takes one.
    if (accuracy == 100.0f)
        return QString();
    if (accuracy >= 10.0f && accuracy <= 100.0f)
        return spaces(1);
    if (accuracy >= 0.0f && accuracy <= 10.0f)
        return spaces(2);
    return QString();
}

QString countPad(std::int16_t count)
{
    return count < 10 ? spaces(1) : QString();
}

struct Failure {
    QString reason;
};

// Writes the bytes in a single write(), so a line is never interleaved with
// another writer's. A short write is taken back when nothing followed it.
bool writeWhole(int fd, const QByteArray &bytes, Failure &failure)
{
    ssize_t written;
    do {
        written = ::write(fd, bytes.constData(), std::size_t(bytes.size()));
    } while (written < 0 && errno == EINTR);

    if (written == bytes.size())
        return true;
    if (written < 0) {
        failure.reason = qt_error_string(errno);
        return false;
    }
    failure.reason = QStringLiteral("書き込みが途中で止まりました (%1 / %2 バイト)").arg(written).arg(bytes.size());
    const off_t end = ::lseek(fd, 0, SEEK_CUR);
    struct stat info {};
    if (end >= written && ::fstat(fd, &info) == 0 && info.st_size == end)
        (void)::ftruncate(fd, end - written);
    return false;
}

// Closes the file; a failing close is a failed write too. The first failure
// keeps its reason.
bool finish(int fd, bool written, Failure &failure)
{
    if (!written) {
        ::close(fd);
        return false;
    }
    if (::close(fd) == 0 || errno == EINTR)
        return true;
    failure.reason = qt_error_string(errno);
    return false;
}

} // namespace

QString scoreLogHeader()
{
    const QString title = QStringLiteral("//") + IdeographicSpace + QStringLiteral("「 Tekkora！ 」")
                          + IdeographicSpace + QStringLiteral("スコアファイル") + IdeographicSpace
                          + QStringLiteral("//");
    const QString columns = QStringLiteral("-日付-") + QString(6, IdeographicSpace) + spaces(1)
                            + QStringLiteral("-モード-") + spaces(5) + QStringLiteral("-ミス-") + spaces(6)
                            + IdeographicSpace + spaces(1) + QStringLiteral("-正解率-") + spaces(6)
                            + QStringLiteral("-速度-");
    return title + LineEnd + LineEnd + columns + LineEnd;
}

QString formatScoreRecord(const ScoreRecord &record)
{
    const QDate date = record.When.date();
    const QTime time = record.When.time();
    // Fixed separators: the file reads the same whatever the locale.
    QString line = QString::asprintf("%04d/%02d/%02d %02d:%02d", date.year(), date.month(), date.day(),
                                     time.hour(), time.minute());
    line += QString(2, IdeographicSpace) + record.ModeCaption;
    padToNextColumn(line);

    line += countPad(record.MissCount) + QString::number(record.MissCount) + QLatin1Char('/')
            + countPad(record.QuestionCount) + QString::number(record.QuestionCount) + QStringLiteral(" 回");
    padToNextColumn(line);

    line += accuracyPad(record.Accuracy) + record.AccuracyCaption + QStringLiteral(" %");
    padToNextColumn(line);

    line += record.SpeedCaption + QStringLiteral(" 秒/キー");
    return line;
}

FileResult AppendScoreRecord(const ScoreRecord &record, const QString &directory)
{
    FileResult result{fileInDirectory(directory, ScoreFileName), {}};
    auto fail = [&result](const QString &reason) { return FileResult::failure(result.path, reason); };

    // Everything is converted before the file is touched, so a text that
    // cannot be written leaves no trace in it.
    const ShiftJisText header = toShiftJis(scoreLogHeader());
    const ShiftJisText line = toShiftJis(formatScoreRecord(record) + LineEnd);
    for (const ShiftJisText *text : {&header, &line}) {
        if (!text->ok())
            return fail(text->error);
    }

    const QByteArray nativePath = QFile::encodeName(result.path);
    Failure failure;
    // A file deleted between creating and appending is simply created again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        // Only the writer that creates the file writes the header; anyone
        // finding it there (whatever it holds) adds just the record.
        int fd = ::open(nativePath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0666);
        if (fd >= 0) {
            const bool written = writeWhole(fd, header.bytes, failure);
            // A file left empty would never get its header: take it away
            // again, unless someone has written to it meanwhile.
            struct stat info {};
            if (!written && ::fstat(fd, &info) == 0 && info.st_size == 0)
                ::unlink(nativePath.constData());
            if (!finish(fd, written, failure))
                return fail(failure.reason);
        } else if (errno != EEXIST) {
            return fail(qt_error_string(errno));
        }

        // O_NONBLOCK keeps a FIFO in the way from hanging the program.
        fd = ::open(nativePath.constData(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) {
            if (errno == ENOENT)
                continue;
            return fail(qt_error_string(errno));
        }
        if (!finish(fd, writeWhole(fd, line.bytes, failure), failure))
            return fail(failure.reason);
        return result;
    }
    return fail(qt_error_string(ENOENT));
}

} // namespace tekkora
