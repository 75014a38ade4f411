#pragma once

// What every desktop session of the tests does with its processes: ties
// them to the test's life, waits for conditions with the test's event loop
// running, and stops them.

#include <QProcess>

#include <functional>

namespace tekkora::testing {

// How long anything on a test's desktop may take to happen (a server to
// start, a window to show): the machine may be busy with other builds and
// tests.
inline constexpr int DisplayTimeoutMs = 20000;

// The process dies with the test, however the test ends.
void dieWithParent(QProcess &process);

// Polls until the condition holds, keeping the event loop running; false
// when the time runs out first.
bool waitUntil(const std::function<bool()> &condition, int timeoutMs);

// Asks the process to end, and makes it if it does not.
void stopProcess(QProcess &process);

} // namespace tekkora::testing
