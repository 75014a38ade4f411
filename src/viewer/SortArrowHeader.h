#pragma once

// A table header that sorts by a click, its sort arrow pointing as Windows
// draws it: up over a column in ascending order, down in descending.
//
// Qt's header asks its style for the opposite (the convention of older
// desktops), and styles draw that differently: Windows' own, and Qt's
// classic Windows look, turn it round to Windows' way themselves, Fusion
// does not. So the header looks at what the style in use draws for an
// ascending order and turns the arrow round only where it points down.

#include <QHeaderView>

#include <optional>

namespace tekkora {

class SortArrowHeader final : public QHeaderView {
    Q_OBJECT
public:
    explicit SortArrowHeader(QWidget *parent = nullptr);

protected:
    void initStyleOptionForIndex(QStyleOptionHeader *option, int logicalIndex) const override;
    void changeEvent(QEvent *event) override;

private:
    bool stylePointsAscendingDown() const;

    // What the style in use draws, once it has been looked at.
    mutable std::optional<bool> pointsAscendingDown_;
};

} // namespace tekkora
