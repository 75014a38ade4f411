#pragma once

#include <QDialog>
#include <QString>

class QFrame;
class QLabel;
class QPushButton;

namespace tekkora {

// The version window: the program icon, the name and version, a challenge to
// the player and a one-line credit. It changes nothing outside itself.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget *parent = nullptr);

public slots:
    // "&OK", Enter, Esc and Alt+O all end here: the box unloads.
    void cmdOK_Click();

    // Esc asks the dialog to reject; the cancel button of this box is cmdOK.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    // The icon's image for the pixel density of the screen the box is on.
    void drawPictureForScreen();

    bool followsScreen_ = false;
    QLabel *picIcon;
    QPushButton *cmdOK;
    QLabel *Label1;
    QFrame *Line1;
    QLabel *lblTitle;
    QLabel *lblVersion;
};

} // namespace tekkora
