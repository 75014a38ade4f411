#pragma once

// The main window's procedures: the run from Start to its results, the
// practice options and the settings file. Each procedure works on the shared
// DrillState and on the window's controls.

#include "Form1Controls.h"
#include "DrillState.h"
#include "RunRecording.h"
#include "WeakDraw.h"

#include "platform/Services.h"

#include <cstdint>

namespace tekkora {

class Form1Procedures {
public:
    Form1Procedures(DrillState &state, const Services &services, Form1Controls &controls);

    // Run flow.
    void Command1_Click();
    void Form_KeyDown(std::int16_t keyCode, std::int16_t shift);

    // Practice options.
    void al_Click();
    void num_Click();
    void all_Click();
    void n10_Click();
    void n30_Click();
    void n50_Click();
    void n99_Click();
    void omoji_Click();
    void kmoji_Click();
    void weak_Click();
    void lblMode_Click();
    void lblNum_Click();
    void Command2_Click();
    void ver_Click();

    // Settings file.
    void Form_Load();
    void Form_Unload();
    // Writes the options to the settings file, as closing the window does.
    void saveOptions();

    const KeyTable &keyTable() const { return KeyTable_; }
    // Each question of the last run, for the per-key log.
    const RunRecording &recording() const { return recording_; }

    static constexpr const char *SettingsFileName = "tekora.ini";
    QString settingsPath() const;

private:
    // A run shows only in the controls: Start is disabled while it lasts.
    bool isRunInProgress() const;
    // Where the load reads from: settingsPath(), or the defaults beside the
    // program while the player has no settings file of their own.
    QString settingsSourcePath() const;

    void Main();
    void Quit();
    void Wait();

    void endRun();
    void drawQuestion();
    std::int16_t drawOnce();
    void selectCharSet(OptionItem item, std::uint8_t charSet);
    void selectCount(OptionItem item, std::int16_t limit);
    void selectCase(OptionItem item);
    void syncCountItems();

    DrillState &state_;
    Services services_;
    Form1Controls &controls_;
    KeyTable KeyTable_{};
    RunRecording recording_;
    // The run's draw: even, or weighted when the option is on.
    WeakDraw weakDraw_;
    // The settings file named the option: it is saved then even when off.
    bool weakInFile_ = false;
};

} // namespace tekkora
