#pragma once

// What the results window's procedures need from its controls. The window
// binding implements it with real widgets; the procedures stay free of any
// toolkit.

#include <QString>

namespace tekkora {

// The four figure boxes of the results window.
enum class FigureBox { LabMode, LabMiss, LabPar, LabSp };

class Form2Controls {
public:
    virtual ~Form2Controls() = default;

    virtual void setCaption(FigureBox box, const QString &caption) = 0;
    // The caption as the box shows it now.
    virtual QString caption(FigureBox box) const = 0;

    // Geometry changes for long counts, in twips.
    virtual void setLabMissWidth(int widthTwips) = 0;
    virtual void setLabel9Left(int leftTwips) = 0;

    // A modal message box with one OK button and no icon; returns once the
    // player has closed it. A CR LF in the text is a line break.
    virtual void showMessage(const QString &title, const QString &text) = 0;
    // Closes and unloads the results window.
    virtual void unloadWindow() = 0;
    // Tells the player about a failure: a modal warning box.
    virtual void reportError(const QString &title, const QString &message) = 0;
};

} // namespace tekkora
