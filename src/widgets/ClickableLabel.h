#pragma once

#include <QLabel>
#include <QMouseEvent>

namespace tekkora {

// A label that reports a click: a press and a release of the left button
// over it, as a button would. Screen readers are told it is a button, named
// by its text, which they can press.
class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickableLabel(QWidget *parent = nullptr);

    // What a click does, without the mouse.
    void click() { emit clicked(); }

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        pressed_ = event->button() == Qt::LeftButton;
        QLabel::mousePressEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
        pressed_ = false;
        QLabel::mouseReleaseEvent(event);
        if (click)
            emit clicked();
    }

private:
    bool pressed_ = false;
};

} // namespace tekkora
