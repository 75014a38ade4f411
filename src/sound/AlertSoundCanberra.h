#pragma once

// The desktop's alert sound through libcanberra, as GTK and KDE programs
// play it: the event "bell-window-system" of the player's sound theme (the
// library falls back to "bell" itself), through the sound server, so the
// theme and the server's volume for event sounds apply.

#include "AlertSound.h"

struct ca_context;

namespace tekkora {

class AlertSoundCanberra final : public AlertSound {
public:
    AlertSoundCanberra() = default;
    ~AlertSoundCanberra() override;
    AlertSoundCanberra(const AlertSoundCanberra &) = delete;
    AlertSoundCanberra &operator=(const AlertSoundCanberra &) = delete;

    Outcome open() override;
    Outcome play() override;
    void close() override;

private:
    ca_context *context_ = nullptr;
    const char *cacheControl_ = "permanent";
};

} // namespace tekkora
