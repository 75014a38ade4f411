#pragma once

// The beep the player hears: the desktop's alert sound (DesktopAlertSound.h:
// the sound theme's bell through the sound server on Linux, the "Default
// Beep" on Windows), played by a worker thread (see BeepWorker.h); the
// window system's bell where no server answers or the theme has no such
// sound.

#include "platform/Services.h"

#include <QTimer>

#include <chrono>
#include <memory>

namespace tekkora {

class BeepWorker;
class FirstInputWatcher;

class DesktopBeeper final : public Beeper {
public:
    DesktopBeeper();
    ~DesktopBeeper() override;
    DesktopBeeper(const DesktopBeeper &) = delete;
    DesktopBeeper &operator=(const DesktopBeeper &) = delete;

    void beep() override;

    // Connects to the sound server at the player's first key press or click
    // (a run starts with one), well before a wrong key needs a beep: neither
    // start-up nor a program opened and closed without a run loads the sound
    // libraries or talks to the server. The first beep connects anyway if it
    // comes first.
    void startAtFirstInput();

    const BeepWorker *worker() const { return worker_.get(); }

private:
    void checkGrace();
    static constexpr std::chrono::milliseconds GraceMargin{10}; // past the grace time, surely

    std::unique_ptr<BeepWorker> worker_;
    std::unique_ptr<FirstInputWatcher> firstInput_;
    QTimer graceCheck_;
};

} // namespace tekkora
