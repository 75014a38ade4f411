#include "DesktopAlertSound.h"

#include <windows.h>

namespace tekkora {

namespace {

// What the system beep means on Windows: the sound the user chose for
// "Default Beep" in the sound scheme, silent under "No Sounds". MessageBeep
// queues it and returns, but falls back to the PC speaker, synchronously,
// when no sound device answers: so it is called from the worker too.
class AlertSoundMessageBeep final : public AlertSound {
public:
    Outcome open() override { return Outcome::Played; }
    Outcome play() override { return MessageBeep(MB_OK) ? Outcome::Played : Outcome::Unavailable; }
    void close() override {}
};

} // namespace

std::unique_ptr<AlertSound> makeDesktopAlertSound()
{
    return std::make_unique<AlertSoundMessageBeep>();
}

} // namespace tekkora
