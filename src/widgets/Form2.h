#pragma once

// The results window: its frame and twelve controls, bound to the procedures
// that fill its figures and answer its OK button.

#include "results/Form2Controls.h"
#include "results/Form2Procedures.h"

#include <QDialog>
#include <QList>

#include <utility>

class QLabel;
class QPushButton;

namespace tekkora {

class Form2 final : public QDialog, private Form2Controls {
    Q_OBJECT
public:
    // Builds the window as defined; loading it is a separate step.
    Form2(const DrillState &state, const RunRecording &recording, const Services &services, QWidget *parent = nullptr);
    ~Form2() override;

    // Runs Form_Load: the figures from the drill state and the score log
    // record.
    void load();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    // Form2Controls
    void setCaption(FigureBox box, const QString &caption) override;
    QString caption(FigureBox box) const override;
    void setLabMissWidth(int widthTwips) override;
    void setLabel9Left(int leftTwips) override;
    void showMessage(const QString &title, const QString &text) override;
    void unloadWindow() override;
    void reportError(const QString &title, const QString &message) override;

    void buildControls();
    void Command1_Click();
    void openNextMessage();
    QLabel *figureBox(FigureBox box) const;
    QString unitOf(const QLabel *figure) const;

    Form2Procedures procedures_;
    // Where no second modal wait is possible: the message boxes still to
    // open (title, text), and whether the window closes after the last.
    QList<std::pair<QString, QString>> pendingMessages_;
    bool unloadAfterMessages_ = false;

    QPushButton *Command1_ = nullptr;
    QLabel *LabMode_ = nullptr;
    QLabel *Label4_ = nullptr;
    QLabel *Label9_ = nullptr;
    QLabel *Label8_ = nullptr;
    QLabel *Label7_ = nullptr;
    QLabel *LabSp_ = nullptr;
    QLabel *LabPar_ = nullptr;
    QLabel *LabMiss_ = nullptr;
    QLabel *Label3_ = nullptr;
    QLabel *Label2_ = nullptr;
    QLabel *Label1_ = nullptr;
};

} // namespace tekkora
