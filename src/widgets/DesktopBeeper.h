#pragma once

// The beep the player hears: the desktop's alert sound from the player's
// sound theme, played through the sound server by a worker thread (see
// BeepWorker.h); the window system's bell where no server answers or the
// theme has no such sound, and on platforms whose own beep is already the
// desktop's sound.

#include "platform/Services.h"

#include <memory>

class QWidget;

namespace tekkora {

class BeepWorker;

class DesktopBeeper final : public Beeper {
public:
    DesktopBeeper();
    ~DesktopBeeper() override;
    DesktopBeeper(const DesktopBeeper &) = delete;
    DesktopBeeper &operator=(const DesktopBeeper &) = delete;

    void beep() override;

    // Connects to the sound server once the window has shown its first
    // frame, so start-up never waits for it; the first beep does so anyway
    // if it comes first. Call it once the window is shown; the window must
    // not outlive the beeper.
    void startAfterFirstFrame(QWidget &window);

    // Null where the platform's beep is used as it is.
    const BeepWorker *worker() const { return worker_.get(); }

private:
    std::unique_ptr<BeepWorker> worker_;
};

} // namespace tekkora
