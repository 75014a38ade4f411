#pragma once

// A results window without widgets: records what the procedures do to its
// controls, in order, so they can be driven and checked directly.

#include "results/Form2Controls.h"

#include <QString>
#include <QStringList>

#include <map>

namespace tekkora::testing {

class FakeForm2Controls final : public Form2Controls {
public:
    void setCaption(FigureBox box, const QString &caption) override { captions[box] = caption; }
    QString caption(FigureBox box) const override
    {
        const auto it = captions.find(box);
        return it == captions.end() ? QString() : it->second;
    }
    void setLabMissWidth(int widthTwips) override
    {
        labMissWidth = widthTwips;
        events << QStringLiteral("LabMiss width %1").arg(widthTwips);
    }
    void setLabel9Left(int leftTwips) override
    {
        label9Left = leftTwips;
        events << QStringLiteral("Label9 left %1").arg(leftTwips);
    }
    void showMessage(const QString &title, const QString &text) override
    {
        events << QStringLiteral("message ") + title;
        messageTexts << text;
    }
    void unloadWindow() override { events << QStringLiteral("unload"); }
    void reportError(const QString &title, const QString &message) override
    {
        events << QStringLiteral("error");
        errors << title + QLatin1Char('|') + message;
    }

    std::map<FigureBox, QString> captions;
    int labMissWidth = 975; // as the window is created
    int label9Left = 2160;
    QStringList events;
    QStringList messageTexts;
    QStringList errors;
};

} // namespace tekkora::testing
