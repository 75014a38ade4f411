#pragma once

// A group of figures that takes the keyboard focus as one, so that a screen
// reader reads them all when Tab reaches it: a panel named by its title
// (Orca reads a focused panel's labels of three words or more, each figure
// named "caption value unit"). A dotted frame shows the focus.

#include <QWidget>

namespace tekkora {

class FigurePanel final : public QWidget {
    Q_OBJECT
public:
    FigurePanel(const QString &title, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace tekkora
