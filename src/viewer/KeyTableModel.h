#pragma once

// The characters of the keys page as a table: per character asked in the
// chosen runs its questions, misses, miss rate, median and 90th-percentile
// time, and its last runs against the runs before (the headers' and cells'
// tooltips say which). Sorted here, on the
// figures themselves; a character without the figure goes last.

#include "KeyStatistics.h"

#include <QAbstractTableModel>

namespace tekkora {

// Which runs a character's last runs were compared with: "直近10回とその前の
// 10回", or of a character asked in fewer runs its two halves.
QString comparisonText(int comparedRuns);

class KeyTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        Character,
        Questions,
        Misses,
        MissRate,
        Median,
        Percentile90,
        RecentMedian,
        EarlierMedian,
        RecentMissRate,
        EarlierMissRate,
        ColumnCount
    };

    explicit KeyTableModel(QObject *parent = nullptr) : QAbstractTableModel(parent) {}

    // The figures to show (owned by the caller): call after they changed.
    void setStatistics(const KeyStatistics *statistics);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

private:
    void order();

    const KeyStatistics *statistics_ = nullptr;
    QList<const CharacterFigures *> rows_;
    int sortColumn_ = Character;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

} // namespace tekkora
