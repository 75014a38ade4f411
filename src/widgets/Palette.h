#pragma once

#include <QColor>

class QPushButton;
class QRect;
class QString;
class QWidget;

namespace tekkora {

namespace colours {
// One colour scheme for every window.
inline const QColor Background(128, 128, 255);
inline const QColor ButtonFace(192, 192, 255); // buttons and figure boxes
inline const QColor Caption(255, 255, 255);    // static captions
} // namespace colours

// Fills the widget with a colour of its own: a window, or a line.
void paintBackground(QWidget *widget, const QColor &colour);

// Static captions: white text on the window's colour, opaque.
void paintAsCaption(QWidget *widget);

// A command button of the windows: its face in the button colour, taking the
// focus by Tab and by click, pressed by Enter while it has the focus.
QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption, const QRect &geometry);

} // namespace tekkora
