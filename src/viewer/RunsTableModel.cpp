#include "RunsTableModel.h"

#include "drill/DrillState.h"
#include "results/ResultsText.h"

#include <algorithm>

namespace tekkora {

RunsTableModel::RunsTableModel(const QList<Run> &runs, QObject *parent) : QAbstractTableModel(parent), runs_(runs)
{
    rebuildRows();
}

int RunsTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int RunsTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant RunsTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rows_.size())
        return {};
    const Run &run = runs_[rows_[index.row()]];
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(index.column() <= Mode ? Qt::AlignLeft | Qt::AlignVCenter
                                                          : Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case When: return run.when.toString(QStringLiteral("yyyy/MM/dd hh:mm"));
    case Mode: return charSetText(run.charSet);
    case Misses: return int(run.misses);
    case Questions: return int(run.questions);
    case Accuracy: return accuracyCaption(run.accuracy);
    case SecondsPerKey: return formatFixed(run.secondsPerKey, 3);
    default: return {};
    }
}

QVariant RunsTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    switch (section) {
    case When: return QStringLiteral("日時");
    case Mode: return QStringLiteral("モード");
    case Misses: return QStringLiteral("ミス");
    case Questions: return QStringLiteral("問題数");
    case Accuracy: return QStringLiteral("正解率 (%)");
    case SecondsPerKey: return QStringLiteral("秒/キー");
    default: return {};
    }
}

bool RunsTableModel::before(qsizetype a, qsizetype b) const
{
    const Run &x = runs_[a];
    const Run &y = runs_[b];
    // Equal figures keep the log's order, newest first when descending.
    auto byKey = [&](const auto &kx, const auto &ky) {
        if (kx != ky)
            return sortOrder_ == Qt::AscendingOrder ? kx < ky : ky < kx;
        return sortOrder_ == Qt::AscendingOrder ? a < b : b < a;
    };
    switch (sortColumn_) {
    case Mode: return byKey(x.charSet, y.charSet);
    case Misses: return byKey(x.misses, y.misses);
    case Questions: return byKey(x.questions, y.questions);
    case Accuracy: return byKey(x.accuracy, y.accuracy);
    case SecondsPerKey: return byKey(x.secondsPerKey, y.secondsPerKey);
    default: return byKey(x.when, y.when);
    }
}

void RunsTableModel::rebuildRows()
{
    rows_.clear();
    for (qsizetype i = 0; i < runs_.size(); ++i) {
        if (belongsTo(runs_[i], set_))
            rows_.append(i);
    }
    // A log is written oldest first: newest first is then its reverse,
    // which needs no sorting.
    if (sortOrder_ == Qt::DescendingOrder)
        std::reverse(rows_.begin(), rows_.end());
    const auto order = [this](qsizetype a, qsizetype b) { return before(a, b); };
    if (!std::is_sorted(rows_.begin(), rows_.end(), order))
        std::sort(rows_.begin(), rows_.end(), order);
}

void RunsTableModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= ColumnCount)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    sortColumn_ = column;
    sortOrder_ = order;
    std::sort(rows_.begin(), rows_.end(), [this](qsizetype a, qsizetype b) { return before(a, b); });
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void RunsTableModel::showSet(RunSet set)
{
    if (set == set_)
        return;
    beginResetModel();
    set_ = set;
    rebuildRows();
    endResetModel();
}

void RunsTableModel::runsRemovedFromEnd(qsizetype newSize)
{
    for (int row = int(rows_.size()) - 1; row >= 0; --row) {
        if (rows_[row] < newSize)
            continue;
        beginRemoveRows({}, row, row);
        rows_.remove(row);
        endRemoveRows();
    }
}

void RunsTableModel::runsAppended(qsizetype firstNew)
{
    // A long stretch of new runs (the whole log, at first) is cheaper sorted
    // at once than placed one by one.
    if (runs_.size() - firstNew > 64) {
        reset();
        return;
    }
    for (qsizetype i = firstNew; i < runs_.size(); ++i) {
        if (!belongsTo(runs_[i], set_))
            continue;
        const auto at = std::upper_bound(rows_.begin(), rows_.end(), i,
                                         [this](qsizetype a, qsizetype b) { return before(a, b); });
        const int row = int(at - rows_.begin());
        beginInsertRows({}, row, row);
        rows_.insert(row, i);
        endInsertRows();
    }
}

void RunsTableModel::reset()
{
    beginResetModel();
    rebuildRows();
    endResetModel();
}

} // namespace tekkora
