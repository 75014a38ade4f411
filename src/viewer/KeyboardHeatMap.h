#pragma once

// A keyboard's main block, each key coloured by its character's miss rate or
// median time, with the colour scale beneath. The key under the pointer or
// with the keyboard focus (the arrow keys move it) is the current key: its
// figures are told by the page and in a tooltip.

#include "KeyStatistics.h"
#include "KeyboardKeys.h"

#include <QWidget>

namespace tekkora {

// A key's figures in a line: "K  120 問  ミス 6 (5.0 %)  中央値 523 ms ...".
QString describeKey(int keyCode, const CharacterFigures *figures);

class KeyboardHeatMap final : public QWidget {
    Q_OBJECT
public:
    enum class Shade { MissRate, MedianTime };

    explicit KeyboardHeatMap(QWidget *parent = nullptr);

    void setKeys(QList<KeyCap> keys);
    const QList<KeyCap> &keys() const { return keys_; }
    // The figures to colour by (owned by the caller); repaints.
    void setStatistics(const KeyStatistics *statistics);
    const KeyStatistics *statistics() const { return statistics_; }
    void setShade(Shade shade);
    Shade shade() const { return shade_; }

    // The ends of the colour scale: a miss rate (0 to 1) or milliseconds.
    // Keys without questions are grey.
    struct Scale {
        double low = 0.0;
        double high = 1.0;
    };
    Scale scale() const { return scale_; }
    // The colour a key is drawn in.
    QColor colourOf(int keyCode) const;

    // The key code of the current key, or 0.
    int currentKey() const { return current_ >= 0 ? keys_[current_].answers : 0; }
    // Its index in keys(), or -1.
    qsizetype currentIndex() const { return current_; }
    // Where a key answering `keyCode` is drawn, or an empty rectangle.
    QRect keyRect(int keyCode) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void currentKeyChanged(int keyCode);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;

private:
    void rescale();
    std::optional<double> figureOf(int keyCode) const;
    double unit() const;
    QPointF origin() const; // the block's top left, the block centred
    QRectF keyArea(const KeyCap &key) const;
    QRectF legendArea() const;
    void setCurrent(qsizetype index);
    void tellFocusedKey();
    qsizetype keyAt(const QPointF &position) const;
    qsizetype neighbour(int dx, int dy) const;

    QList<KeyCap> keys_;
    const KeyStatistics *statistics_ = nullptr;
    Shade shade_ = Shade::MissRate;
    Scale scale_;
    qsizetype current_ = -1;
};

} // namespace tekkora
