#pragma once

// The program under test, started from a private copy with a private home,
// so that its settings file and score log land in a temporary directory and
// nothing of the desktop the tests run from leaks into it.

#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

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
    // Starts another program beside the first (the score window beside the
    // drill), from a copy in the same directory and with the same
    // environment; its standard output is left to be read. It stops with
    // the first. Null when it cannot be started.
    QProcess *launchBeside(const QString &executable, const QStringList &arguments = {});
    // Waits for the program to end by itself; true if it exited normally.
    bool waitForExit(int timeoutMs);
    void stop();

private:
    bool start(QProcess &process, const QString &executable, const QStringList &arguments);

    QString work_;
    QString error_;
    QProcessEnvironment environment_;
    QProcess process_;
    std::vector<std::unique_ptr<QProcess>> others_;
};

} // namespace tekkora::testing
