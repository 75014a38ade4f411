#pragma once

// The main window: its frame, controls and menus, bound to the procedures
// that run the drill.

#include "drill/Form1Controls.h"
#include "drill/Form1Procedures.h"

#include <QMainWindow>

#include <QSize>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QPushButton;

namespace tekkora {

class Announcer;
class ClickableLabel;
class KeyboardLayout;
struct OptionItemDefinition;
enum class NativeKeys : std::uint8_t;

class Form1 final : public QMainWindow, private Form1Controls {
    Q_OBJECT
public:
    // Builds the window and runs its load, which applies the saved options.
    Form1(DrillState &state, const Services &services, QWidget *parent = nullptr);
    ~Form1() override;

    // What ending the program means; the application quits by default.
    void setProgramEnder(std::function<void()> ender) { programEnder_ = std::move(ender); }

    // What showing the results means; a modal results window by default.
    void setResultsPresenter(std::function<void()> presenter) { resultsPresenter_ = std::move(presenter); }

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // Form1Controls
    void setLabel1Caption(const QString &caption) override;
    void setLabel1FontSize(int points) override;
    void setLabel2Visible(bool visible) override;
    void setCommand1Enabled(bool enabled) override;
    void setCommand2Enabled(bool enabled) override;
    bool isCommand1Enabled() const override;
    void setOptionsMenuEnabled(bool enabled) override;
    void setModeCaption(const QString &caption) override;
    void setNumCaption(const QString &caption) override;
    bool isChecked(OptionItem item) const override;
    void setChecked(OptionItem item, bool checked) override;
    void showResults() override;
    void showAbout() override;
    void focusStartButton() override;
    void unloadWindow() override;
    void endProgram() override;
    void reportError(const QString &title, const QString &message) override;

    void buildControls();
    void buildMenus();
    void addOptionItem(QMenu *menu, const OptionItemDefinition &definition);
    void setFittedCaption(QLabel *label, const QString &caption);
    void resizeLabel1();
    // Where a screen reader runs: says the question, or an option's state.
    void speakQuestion();
    void speakOption(OptionItem item);
    QSize label1TextSize() const;
    // Where the platform keeps options as they change (FileStorage.h).
    void optionsChanged();
    // Runs a procedure; a run-time error is reported and ends the program.
    void guarded(const std::function<void()> &procedure);

    DrillState &state_;
    Services services_;
    Form1Procedures procedures_;
    // What this platform's key events say about the key pressed.
    const NativeKeys nativeKeys_;
    // What the keys answer in the player's layout, where the key events do
    // not say it themselves; read when the first run starts.
    const std::unique_ptr<KeyboardLayout> keyboardLayout_;
    std::function<void()> programEnder_;
    std::function<void()> resultsPresenter_;

    QWidget *client_ = nullptr;
    QPushButton *Command1_ = nullptr;
    QPushButton *Command2_ = nullptr;
    QLabel *Label1_ = nullptr;
    QLabel *Label2_ = nullptr;
    QLabel *Label3_ = nullptr;
    ClickableLabel *lblMode_ = nullptr;
    ClickableLabel *lblNum_ = nullptr;
    QMenu *op_ = nullptr;
    Announcer *announcer_ = nullptr;
    std::map<OptionItem, QAction *> optionActions_;
    std::map<OptionItem, bool> checks_;
    // Label1's size for each one-character caption at the current font size,
    // so a key press lays out no text beyond the label's own painting.
    mutable std::array<QSize, 128> label1CharSizes_{};
    bool unloaded_ = false;
};

} // namespace tekkora
