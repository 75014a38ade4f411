#pragma once

// Says a short text through a screen reader the moment it is asked, each
// time, the same text twice included: a status bar nobody sees, holding one
// notification that appears anew with each text. Screen readers speak a
// notification as it appears, and one in a status bar without saying what
// it is (Orca speaks the text alone). Where no screen reader listens, asking
// costs a test of one flag.

#include <QString>
#include <QWidget>

namespace tekkora {

class Announcer final : public QWidget {
    Q_OBJECT
public:
    // Hidden, in the window given.
    explicit Announcer(QWidget *window);

    void announce(const QString &text);
    // The text said last.
    const QString &text() const { return text_; }

private:
    QWidget *notice_;
    QString text_;
};

} // namespace tekkora
