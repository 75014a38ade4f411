#pragma once

// Follows one score log live: on each change of the file or its folder, a
// read of what was appended, handed on as runs.

#include "LogWatch.h"
#include "ScoreStatistics.h"
#include "results/ScoreLogFile.h"

#include <QObject>

namespace tekkora {

struct ScoreLogChange {
    bool restarted = false;      // forget every run handed on before
    qsizetype withdrawn = 0;     // runs to take back from the end first
    QList<Run> added;            // then these, oldest first
    ScoreLogFile::State state = ScoreLogFile::State::Missing;
    QString error;               // why the file cannot be read
    qsizetype skippedLines = 0;  // lines that are not records, so far
    QList<SkippedLine> skipped;  // the first of them, with number and reason
};

class ScoreLogWatcher final : public QObject {
    Q_OBJECT
public:
    explicit ScoreLogWatcher(const QString &path, QObject *parent = nullptr);

    const QString &path() const { return file_.path(); }

    // Reads the file now and reports what changed, if anything did.
    void refresh();

signals:
    void changed(const tekkora::ScoreLogChange &change);

private:
    ScoreLogFile file_;
    LogWatch watch_;
    bool pendingRunShown_ = false;
    bool everReported_ = false;
    ScoreLogFile::State lastState_ = ScoreLogFile::State::Missing;
    QString lastError_;
    qsizetype lastSkipped_ = 0;
};

} // namespace tekkora
