#include "KeyTableModel.h"

#include "results/ResultsText.h"

#include <algorithm>

namespace tekkora {

namespace {

// A column's figure as a number to sort by; none when it is missing.
std::optional<double> figure(const CharacterFigures &row, int column)
{
    const auto ms = [](const std::optional<std::uint32_t> &value) {
        return value ? std::optional<double>(*value) : std::nullopt;
    };
    switch (column) {
    case KeyTableModel::Character:
        // Letters, then digits, as on the keyboard's rows of the page.
        return row.keyCode >= 'A' ? row.keyCode - 'A' : 26 + row.keyCode - '0';
    case KeyTableModel::Questions: return double(row.questions);
    case KeyTableModel::Misses: return double(row.misses);
    case KeyTableModel::MissRate: return row.missRate;
    case KeyTableModel::Median: return ms(row.medianMs);
    case KeyTableModel::Percentile90: return ms(row.p90Ms);
    case KeyTableModel::RecentMedian: return ms(row.recentMedianMs);
    case KeyTableModel::EarlierMedian: return ms(row.earlierMedianMs);
    case KeyTableModel::RecentMissRate: return row.recentMissRate;
    case KeyTableModel::EarlierMissRate: return row.earlierMissRate;
    default: return std::nullopt;
    }
}

} // namespace

QString comparisonText(int comparedRuns)
{
    return comparedRuns == KeyRecentRuns
               ? QStringLiteral("直近%1回とその前の%1回").arg(comparedRuns)
               : QStringLiteral("後半の%1回と前半の%1回").arg(comparedRuns);
}

void KeyTableModel::setStatistics(const KeyStatistics *statistics)
{
    beginResetModel();
    statistics_ = statistics;
    rows_.clear();
    if (statistics_ != nullptr) {
        for (const CharacterFigures &row : statistics_->characters()) {
            if (row.questions > 0)
                rows_.append(&row);
        }
    }
    order();
    endResetModel();
}

int KeyTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int KeyTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant KeyTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rows_.size())
        return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(index.column() == Character ? Qt::AlignCenter : Qt::AlignRight | Qt::AlignVCenter);
    const CharacterFigures &row = *rows_[index.row()];
    if (role == Qt::ToolTipRole && index.column() >= RecentMedian && row.comparedRuns > 0)
        return comparisonText(row.comparedRuns);
    if (role != Qt::DisplayRole)
        return {};
    if (index.column() == Character)
        return QString(QChar(row.keyCode));
    const std::optional<double> value = figure(row, index.column());
    if (!value)
        return QStringLiteral("—");
    switch (index.column()) {
    case MissRate:
    case RecentMissRate:
    case EarlierMissRate: return formatFixed(*value * 100.0, 1);
    default: return QString::number(qint64(*value));
    }
}

QVariant KeyTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::ToolTipRole && section >= RecentMedian)
        return QStringLiteral("文字ごとに、その文字が出た直近%1回とその前の%1回。出た回が%2回に満たない文字は、"
                              "後半の回と前半の回 (各%3回以上)")
            .arg(KeyRecentRuns)
            .arg(2 * KeyRecentRuns)
            .arg(KeyLeastComparedRuns);
    if (role != Qt::DisplayRole)
        return {};
    switch (section) {
    case Character: return QStringLiteral("文字");
    case Questions: return QStringLiteral("問題数");
    case Misses: return QStringLiteral("ミス");
    case MissRate: return QStringLiteral("ミス率 (%)");
    case Median: return QStringLiteral("中央値 (ms)");
    case Percentile90: return QStringLiteral("90% (ms)");
    case RecentMedian: return QStringLiteral("直近 (ms)");
    case EarlierMedian: return QStringLiteral("その前 (ms)");
    case RecentMissRate: return QStringLiteral("直近 ミス率");
    case EarlierMissRate: return QStringLiteral("その前 ミス率");
    default: return {};
    }
}

void KeyTableModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= ColumnCount)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    sortColumn_ = column;
    sortOrder_ = order;
    this->order();
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void KeyTableModel::order()
{
    // Stable, from the keyboard's order: equal figures keep it.
    std::sort(rows_.begin(), rows_.end(), [](const CharacterFigures *a, const CharacterFigures *b) {
        return *figure(*a, Character) < *figure(*b, Character);
    });
    std::stable_sort(rows_.begin(), rows_.end(), [this](const CharacterFigures *a, const CharacterFigures *b) {
        const std::optional<double> x = figure(*a, sortColumn_);
        const std::optional<double> y = figure(*b, sortColumn_);
        if (!x || !y)
            return x.has_value() && !y.has_value();
        return sortOrder_ == Qt::AscendingOrder ? *x < *y : *y < *x;
    });
}

} // namespace tekkora
