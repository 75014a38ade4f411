#pragma once

// The runs of one character set as a table, newest first until another order
// is chosen. Sorting is done here on the runs' own figures, so a log of a
// hundred thousand runs sorts without a proxy model asking for every cell.

#include "ScoreStatistics.h"

#include <QAbstractTableModel>

namespace tekkora {

class RunsTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { When, Mode, Misses, Questions, Accuracy, SecondsPerKey, ColumnCount };

    // `runs` is the window's list of every run; it must outlive the model.
    explicit RunsTableModel(const QList<Run> &runs, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

    void showSet(RunSet set);
    RunSet set() const { return set_; }
    int sortColumn() const { return sortColumn_; }

    // Call after the window's list changed at its end: runs removed from it,
    // then runs appended to it. Or reset() after it was replaced.
    void runsRemovedFromEnd(qsizetype newSize);
    void runsAppended(qsizetype firstNew);
    void reset();

    // The row that shows a run of the window's list, or -1.
    int rowOf(qsizetype run) const { return int(rows_.indexOf(run)); }

private:
    bool before(qsizetype a, qsizetype b) const;
    void rebuildRows();

    const QList<Run> &runs_;
    QList<qsizetype> rows_; // indexes into runs_, in the order shown
    RunSet set_ = RunSet::Every;
    int sortColumn_ = When;
    Qt::SortOrder sortOrder_ = Qt::DescendingOrder;
};

} // namespace tekkora
