#pragma once

// Follows one per-key log live, as ScoreLogWatcher follows the score log:
// on each change of the file or its folder, a read of what was appended.

#include "LogWatch.h"
#include "results/KeysLogFile.h"

#include <QObject>

namespace tekkora {

class KeysLogWatcher final : public QObject {
    Q_OBJECT
public:
    explicit KeysLogWatcher(const QString &path, QObject *parent = nullptr);

    const KeysLogFile &file() const { return file_; }

    // Reads the file now and reports what changed, if anything did.
    void refresh();

signals:
    void changed(const tekkora::KeysLogFile::Update &update);

private:
    KeysLogFile file_;
    LogWatch watch_;
    bool everReported_ = false;
    KeysLogFile::State lastState_ = KeysLogFile::State::Missing;
    QString lastError_;
};

} // namespace tekkora
