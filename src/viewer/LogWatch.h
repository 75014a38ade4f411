#pragma once

// Tells when a log may have changed: QFileSystemWatcher on the file and on
// its folder (so a log created, deleted or replaced later is seen too), one
// notice for a burst of them, and a slow look for the folder while it does
// not exist.

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

namespace tekkora {

class LogWatch final : public QObject {
    Q_OBJECT
public:
    explicit LogWatch(QString path, QObject *parent = nullptr);

    // Watches whatever stands at the path now: call before each read.
    void watch();

signals:
    void touched();

private:
    const QString path_;
    QFileSystemWatcher watcher_;
    QTimer settle_;      // one notice for a burst of notifications
    QTimer folderPoll_;  // only while the folder itself does not exist
};

} // namespace tekkora
