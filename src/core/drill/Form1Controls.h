#pragma once

// What the main window's procedures need from its controls. The window
// binding implements it with real widgets; the procedures stay free of any
// toolkit.

#include <QString>

namespace tekkora {

// The option items of the Options menu.
enum class OptionItem { al, num, all, n10, n30, n50, n99, omoji, kmoji, weak };

class Form1Controls {
public:
    virtual ~Form1Controls() = default;

    virtual void setLabel1Caption(const QString &caption) = 0;
    virtual void setLabel1FontSize(int points) = 0;
    virtual void setLabel2Visible(bool visible) = 0;
    virtual void setCommand1Enabled(bool enabled) = 0;
    virtual void setCommand2Enabled(bool enabled) = 0;
    virtual bool isCommand1Enabled() const = 0;
    virtual void setOptionsMenuEnabled(bool enabled) = 0; // the menu op
    virtual void setModeCaption(const QString &caption) = 0; // lblMode
    virtual void setNumCaption(const QString &caption) = 0;  // lblNum

    virtual bool isChecked(OptionItem item) const = 0;
    virtual void setChecked(OptionItem item, bool checked) = 0;

    // Shows the results window modally; returns once it has closed.
    virtual void showResults() = 0;
    // Shows the about box modally; returns once it has closed.
    virtual void showAbout() = 0;
    // Gives the keyboard focus back to the Start button.
    virtual void focusStartButton() = 0;
    // Closes the main window, which runs Form_Unload.
    virtual void unloadWindow() = 0;
    // Ends the program at once, whatever other window exists.
    virtual void endProgram() = 0;
    // Tells the player about a failure: a modal message box.
    virtual void reportError(const QString &title, const QString &message) = 0;
};

} // namespace tekkora
