#pragma once

// A table header whose sort arrow points as Windows draws it: up over a
// column in ascending order, down in descending. Qt's header asks its style
// for the opposite (the convention of older desktops), so 日時 newest first
// would show an arrow pointing up.

#include <QHeaderView>

namespace tekkora {

class SortArrowHeader final : public QHeaderView {
    Q_OBJECT
public:
    explicit SortArrowHeader(QWidget *parent = nullptr) : QHeaderView(Qt::Horizontal, parent) {}

protected:
    void initStyleOptionForIndex(QStyleOptionHeader *option, int logicalIndex) const override;
};

} // namespace tekkora
