#include "CanberraAlertSound.h"

#include "DesktopSoundSettings.h"

#include <canberra.h>

namespace tekkora {

namespace {

constexpr const char *EventId = "bell-window-system";
constexpr const char *EventDescription = "Tekkora! beep";
constexpr unsigned SoundId = 1;

// Errors after which the server may answer again later.
AlertSound::Outcome outcomeOf(int error)
{
    switch (error) {
    case CA_SUCCESS: return AlertSound::Outcome::Played;
    case CA_ERROR_NOTAVAILABLE:
    case CA_ERROR_STATE:
    case CA_ERROR_DISCONNECTED:
    case CA_ERROR_IO:
    case CA_ERROR_DESTROYED:
    case CA_ERROR_ACCESS: return AlertSound::Outcome::Offline;
    default: return AlertSound::Outcome::Unavailable; // no driver, no such sound, ...
    }
}

} // namespace

CanberraAlertSound::~CanberraAlertSound()
{
    close();
}

AlertSound::Outcome CanberraAlertSound::open()
{
    close();
    const DesktopSoundSettings desktop = DesktopSoundSettings::read();
    if (!desktop.eventSounds)
        return Outcome::Muted;
    int error = ca_context_create(&context_);
    // The sound server only: the ALSA backend "opens" without any sound card
    // and would play past the server's volume to the raw device.
    if (error == CA_SUCCESS)
        error = ca_context_set_driver(context_, "pulse");
    if (error == CA_SUCCESS)
        error = ca_context_change_props(context_, CA_PROP_APPLICATION_NAME, "Tekkora!", CA_PROP_APPLICATION_ID,
                                        "org.example.Tekkora", nullptr);
    if (error == CA_SUCCESS && !desktop.theme.empty())
        error = ca_context_change_props(context_, CA_PROP_CANBERRA_XDG_THEME_NAME, desktop.theme.c_str(), nullptr);
    if (error == CA_SUCCESS)
        error = ca_context_open(context_);
    if (error != CA_SUCCESS)
        return outcomeOf(error);
    // Looked up, decoded and uploaded to the server's sample cache once, so
    // that each beep is one short request.
    cacheControl_ = "permanent";
    error = ca_context_cache(context_, CA_PROP_EVENT_ID, EventId, CA_PROP_EVENT_DESCRIPTION, EventDescription,
                             CA_PROP_CANBERRA_CACHE_CONTROL, "permanent", nullptr);
    if (error == CA_ERROR_NOTSUPPORTED)
        cacheControl_ = "never"; // a server without a sample cache: stream it each time
    else if (error != CA_SUCCESS)
        return outcomeOf(error);
    return Outcome::Played;
}

AlertSound::Outcome CanberraAlertSound::play()
{
    if (context_ == nullptr)
        return Outcome::Offline;
    ca_context_cancel(context_, SoundId);
    return outcomeOf(ca_context_play(context_, SoundId, CA_PROP_EVENT_ID, EventId, CA_PROP_EVENT_DESCRIPTION,
                                     EventDescription, CA_PROP_CANBERRA_CACHE_CONTROL, cacheControl_, nullptr));
}

void CanberraAlertSound::close()
{
    if (context_ != nullptr) {
        ca_context_destroy(context_);
        context_ = nullptr;
    }
}

} // namespace tekkora
