#include "LogWatch.h"

#include "BrowserPage.h"

#include <QFileInfo>

namespace tekkora {

namespace {
// How often to look for the log's folder while it does not exist; with the
// folder there, the file system's notifications take over.
constexpr int FolderPollMs = 1000;
} // namespace

LogWatch::LogWatch(QString path, QObject *parent) : QObject(parent), path_(std::move(path))
{
    settle_.setSingleShot(true);
    settle_.setInterval(0);
    connect(&settle_, &QTimer::timeout, this, &LogWatch::touched);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, &settle_, qOverload<>(&QTimer::start));
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, &settle_, qOverload<>(&QTimer::start));
    folderPoll_.setInterval(FolderPollMs);
    connect(&folderPoll_, &QTimer::timeout, this, &LogWatch::touched);
    // In a browser the drill's page writes the logs into storage this page
    // only sees when it pulls it in.
    followStoredFiles(this, [this] { settle_.start(); });
}

void LogWatch::watch()
{
    // A file replaced by another (an editor saving, the log deleted and
    // written again) drops out of the watcher: add whatever stands there now.
    const QString folder = QFileInfo(path_).absolutePath();
    if (!watcher_.files().contains(path_) && QFileInfo::exists(path_))
        watcher_.addPath(path_);
    if (!watcher_.directories().contains(folder) && QFileInfo(folder).isDir())
        watcher_.addPath(folder);
    if (watcher_.directories().isEmpty())
        folderPoll_.start();
    else
        folderPoll_.stop();
}

} // namespace tekkora
