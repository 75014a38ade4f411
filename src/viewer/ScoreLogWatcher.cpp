#include "ScoreLogWatcher.h"

namespace tekkora {

ScoreLogWatcher::ScoreLogWatcher(const QString &path, QObject *parent)
    : QObject(parent), file_(path), watch_(path)
{
    connect(&watch_, &LogWatch::touched, this, &ScoreLogWatcher::refresh);
}

void ScoreLogWatcher::refresh()
{
    watch_.watch();

    ScoreLogChange change;
    const qint64 offsetBefore = file_.offset();
    const ScoreLogFile::Update update =
        file_.readAppended([&change](ScoreRecord &&record) { change.added.append(runOf(record)); });
    change.restarted = update.restarted;
    change.state = update.state;
    change.error = update.error;

    // The line still without its line end, shown while it reads as a record
    // and taken back once the rest of the file says what it is.
    const bool bytesMoved = update.restarted || file_.offset() != offsetBefore;
    const ScoreLogReader::Pending pending = file_.reader().pending();
    if (bytesMoved) {
        if (pendingRunShown_ && !change.restarted)
            change.withdrawn = 1;
        pendingRunShown_ = pending.kind == ScoreLogReader::Pending::Record;
        if (pendingRunShown_)
            change.added.append(runOf(pending.record));
    }
    change.skippedLines =
        file_.reader().skippedLines() + (pending.kind == ScoreLogReader::Pending::Skipped ? 1 : 0);
    change.skipped = file_.reader().skipped().kept();
    if (pending.kind == ScoreLogReader::Pending::Skipped && change.skipped.size() < SkippedLines::KeptAtMost)
        change.skipped.append({pending.line, pending.reason});

    const bool news = !everReported_ || bytesMoved || change.state != lastState_ || change.error != lastError_
                      || change.skippedLines != lastSkipped_;
    if (!news)
        return;
    everReported_ = true;
    lastState_ = change.state;
    lastError_ = change.error;
    lastSkipped_ = change.skippedLines;
    emit changed(change);
}

} // namespace tekkora
