#include "Palette.h"

#include <QPushButton>
#include <QWidget>

namespace tekkora {

void paintBackground(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void paintAsCaption(QWidget *widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colours::Background);
    palette.setColor(QPalette::WindowText, colours::Caption);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption, const QRect &geometry)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(geometry);
    button->setAutoDefault(true);
    button->setFocusPolicy(Qt::StrongFocus);
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, colours::ButtonFace);
    button->setPalette(palette);
    return button;
}

} // namespace tekkora
