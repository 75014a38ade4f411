#pragma once

// The desktop's alert sound on this platform, for DesktopBeeper to play on
// its worker thread: libcanberra's sound theme bell on Linux desktops
// (AlertSoundCanberra.cpp), the user's "Default Beep" on Windows
// (AlertSoundMessageBeep.cpp).

#include "AlertSound.h"

#include <memory>

namespace tekkora {

std::unique_ptr<AlertSound> makeDesktopAlertSound();

} // namespace tekkora
