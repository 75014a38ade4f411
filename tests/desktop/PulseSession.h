#pragma once

// A private PulseAudio server for end-to-end tests: one null sink, whose
// monitor records whatever is played, no real device, no autospawn, a socket
// in a temporary directory; stopped with the session.
//
//   PulseSession pulse;
//   TEKKORA_START_PULSE(pulse);
//   x.launch(TEKKORA_EXECUTABLE, pulse.clientEnvironment());

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>
#include <QTest>

namespace tekkora::testing {

class PulseSession {
public:
    PulseSession();
    ~PulseSession();
    PulseSession(const PulseSession &) = delete;
    PulseSession &operator=(const PulseSession &) = delete;

    // "pulseaudio" when the server is not installed, or an empty text.
    QString missingTool() const;
    bool start();
    QString error() const { return error_; }
    void stop();

    // What a client needs to reach this server and no other.
    QProcessEnvironment clientEnvironment() const;
    // The same for a server that is not there: a socket nobody listens on.
    // Needs no start().
    QProcessEnvironment absentServerEnvironment() const;
    QString monitorSource() const { return QStringLiteral("tekkora_null.monitor"); }

    // Whether a client of that application name is connected now.
    bool hasClient(const QString &applicationName) const;

    // Sets clientEnvironment() in this process, for in-process clients.
    void useInThisProcess() const;

private:
    QString path(const char *name) const;

    QTemporaryDir work_;
    QString error_;
    QProcess server_;
};

} // namespace tekkora::testing

#define TEKKORA_START_PULSE(session)                                                                        \
    do {                                                                                                     \
        if (const QString missing = (session).missingTool(); !missing.isEmpty())                            \
            QSKIP(qPrintable(missing + QStringLiteral(" is not installed")));                               \
        QVERIFY2((session).start(), qPrintable((session).error()));                                          \
    } while (false)
