#pragma once

// The program under test, started from a private copy with a private home,
// so that its settings file and score log land in a temporary directory and
// nothing of the desktop the tests run from leaks into it.

#include <QProcess>
#include <QString>

namespace tekkora::testing {

class PrivateProgram {
public:
    // Makes app/, home/ and runtime/ under the directory, which must exist.
    explicit PrivateProgram(const QString &workDirectory);
    ~PrivateProgram();
    PrivateProgram(const PrivateProgram &) = delete;
    PrivateProgram &operator=(const PrivateProgram &) = delete;

    // Where the copy lives, with its settings file and score log.
    QString directory() const;

    // Copies the executable into directory() and starts it there. display
    // names the display to use (DISPLAY, WAYLAND_DISPLAY, QT_QPA_PLATFORM,
    // ...); extra is added to (or overrides) the rest.
    bool launch(const QString &executable, const QProcessEnvironment &display, const QProcessEnvironment &extra);
    QString error() const { return error_; }
    QProcess &process() { return process_; }
    // Waits for the program to end by itself; true if it exited normally.
    bool waitForExit(int timeoutMs);
    void stop();

private:
    QString work_;
    QString error_;
    QProcess process_;
};

} // namespace tekkora::testing
