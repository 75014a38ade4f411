#pragma once

// A main window without widgets: records what the procedures do to its
// controls, so the procedures can be driven and checked directly.

#include "drill/Form1Controls.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <map>

namespace tekkora::testing {

class FakeForm1Controls final : public Form1Controls {
public:
    FakeForm1Controls()
    {
        // The check marks the window is created with.
        checks[OptionItem::n30] = true;
        checks[OptionItem::omoji] = true;
    }

    void setLabel1Caption(const QString &caption) override { label1Caption = caption; }
    void setLabel1FontSize(int points) override { label1FontSize = points; }
    void setLabel2Visible(bool visible) override { label2Visible = visible; }
    void setCommand1Enabled(bool enabled) override { command1Enabled = enabled; }
    void setCommand2Enabled(bool enabled) override { command2Enabled = enabled; }
    bool isCommand1Enabled() const override { return command1Enabled; }
    void setOptionsMenuEnabled(bool enabled) override { optionsMenuEnabled = enabled; }
    void setModeCaption(const QString &caption) override { modeCaption = caption; }
    void setNumCaption(const QString &caption) override { numCaption = caption; }

    bool isChecked(OptionItem item) const override
    {
        const auto it = checks.find(item);
        return it != checks.end() && it->second;
    }
    void setChecked(OptionItem item, bool checked) override { checks[item] = checked; }

    void showResults() override
    {
        ++resultsShown;
        if (onShowResults)
            onShowResults();
    }
    void showAbout() override { ++aboutShown; }
    void focusStartButton() override { ++focusRequests; }
    void unloadWindow() override { ++unloads; }
    void endProgram() override { ++programEnds; }
    void reportError(const QString &title, const QString &message) override
    {
        errors << title + QLatin1Char('|') + message;
    }

    QString label1Caption;
    int label1FontSize = 36;
    bool label2Visible = false;
    bool command1Enabled = true;
    bool command2Enabled = true;
    bool optionsMenuEnabled = true;
    QString modeCaption;
    QString numCaption;
    std::map<OptionItem, bool> checks;
    int resultsShown = 0;
    int aboutShown = 0;
    int focusRequests = 0;
    int unloads = 0;
    int programEnds = 0;
    QStringList errors;
    std::function<void()> onShowResults;
};

} // namespace tekkora::testing
