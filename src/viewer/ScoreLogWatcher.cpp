#include "ScoreLogWatcher.h"

#include <QDir>
#include <QFileInfo>

namespace tekkora {

namespace {
// How often to look for the log's folder while it does not exist; with the
// folder there, the file system's notifications take over.
constexpr int FolderPollMs = 1000;
} // namespace

ScoreLogWatcher::ScoreLogWatcher(const QString &path, QObject *parent) : QObject(parent), file_(path)
{
    settle_.setSingleShot(true);
    settle_.setInterval(0);
    connect(&settle_, &QTimer::timeout, this, &ScoreLogWatcher::refresh);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, &settle_, qOverload<>(&QTimer::start));
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, &settle_, qOverload<>(&QTimer::start));
    folderPoll_.setInterval(FolderPollMs);
    connect(&folderPoll_, &QTimer::timeout, this, &ScoreLogWatcher::refresh);
}

void ScoreLogWatcher::watch()
{
    // A file replaced by another (an editor saving, the log deleted and
    // written again) drops out of the watcher: add whatever stands there now.
    const QString path = file_.path();
    const QString folder = QFileInfo(path).absolutePath();
    if (!watcher_.files().contains(path) && QFileInfo::exists(path))
        watcher_.addPath(path);
    if (!watcher_.directories().contains(folder) && QFileInfo(folder).isDir())
        watcher_.addPath(folder);
    if (watcher_.directories().isEmpty())
        folderPoll_.start();
    else
        folderPoll_.stop();
}

void ScoreLogWatcher::refresh()
{
    watch();

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
