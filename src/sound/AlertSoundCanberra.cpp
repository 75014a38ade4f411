#include "AlertSoundCanberra.h"

#include "DesktopAlertSound.h"
#include "DesktopSoundSettings.h"

#include <canberra.h>
#include <dlfcn.h>

namespace tekkora {

namespace {

// libcanberra is opened by the worker when it first connects, not linked:
// a program that never beeps maps none of it or its codecs, and the drill's
// start-up stays as lean as before. The header still gives the types.
struct Canberra {
    decltype(&ca_context_create) create = nullptr;
    decltype(&ca_context_set_driver) setDriver = nullptr;
    decltype(&ca_context_change_props) changeProps = nullptr;
    decltype(&ca_context_open) open = nullptr;
    decltype(&ca_context_cache) cache = nullptr;
    decltype(&ca_context_play) play = nullptr;
    decltype(&ca_context_cancel) cancel = nullptr;
    decltype(&ca_context_destroy) destroy = nullptr;

    bool loaded() const
    {
        return create && setDriver && changeProps && open && cache && play && cancel && destroy;
    }
};

template <typename Function>
void resolve(void *library, Function &function, const char *name)
{
    function = reinterpret_cast<Function>(dlsym(library, name));
}

// Null where the library is not installed. Loaded once, kept for the
// program's life (unloading it under a running sound thread is not safe).
const Canberra *canberra()
{
    static const Canberra library = [] {
        Canberra found;
        void *handle = dlopen("libcanberra.so.0", RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr)
            return found;
        resolve(handle, found.create, "ca_context_create");
        resolve(handle, found.setDriver, "ca_context_set_driver");
        resolve(handle, found.changeProps, "ca_context_change_props");
        resolve(handle, found.open, "ca_context_open");
        resolve(handle, found.cache, "ca_context_cache");
        resolve(handle, found.play, "ca_context_play");
        resolve(handle, found.cancel, "ca_context_cancel");
        resolve(handle, found.destroy, "ca_context_destroy");
        return found;
    }();
    return library.loaded() ? &library : nullptr;
}

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

AlertSoundCanberra::~AlertSoundCanberra()
{
    close();
}

AlertSound::Outcome AlertSoundCanberra::open()
{
    close();
    const DesktopSoundSettings desktop = DesktopSoundSettings::read();
    if (!desktop.eventSounds)
        return Outcome::Muted;
    const Canberra *ca = canberra();
    if (ca == nullptr)
        return Outcome::Unavailable;
    int error = ca->create(&context_);
    // The sound server only: the ALSA backend "opens" without any sound card
    // and would play past the server's volume to the raw device.
    if (error == CA_SUCCESS)
        error = ca->setDriver(context_, "pulse");
    if (error == CA_SUCCESS)
        error = ca->changeProps(context_, CA_PROP_APPLICATION_NAME, "Tekkora!", CA_PROP_APPLICATION_ID,
                                        TEKKORA_APP_ID, nullptr);
    if (error == CA_SUCCESS && !desktop.theme.empty())
        error = ca->changeProps(context_, CA_PROP_CANBERRA_XDG_THEME_NAME, desktop.theme.c_str(), nullptr);
    if (error == CA_SUCCESS)
        error = ca->open(context_);
    if (error != CA_SUCCESS)
        return outcomeOf(error);
    // Looked up, decoded and uploaded to the server's sample cache once, so
    // that each beep is one short request.
    cacheControl_ = "permanent";
    error = ca->cache(context_, CA_PROP_EVENT_ID, EventId, CA_PROP_EVENT_DESCRIPTION, EventDescription,
                             CA_PROP_CANBERRA_CACHE_CONTROL, "permanent", nullptr);
    if (error == CA_ERROR_NOTSUPPORTED)
        cacheControl_ = "never"; // a server without a sample cache: stream it each time
    else if (error != CA_SUCCESS)
        return outcomeOf(error);
    return Outcome::Played;
}

AlertSound::Outcome AlertSoundCanberra::play()
{
    if (context_ == nullptr)
        return Outcome::Offline;
    const Canberra *ca = canberra();
    ca->cancel(context_, SoundId);
    return outcomeOf(ca->play(context_, SoundId, CA_PROP_EVENT_ID, EventId, CA_PROP_EVENT_DESCRIPTION,
                                     EventDescription, CA_PROP_CANBERRA_CACHE_CONTROL, cacheControl_, nullptr));
}

void AlertSoundCanberra::close()
{
    if (context_ != nullptr) {
        canberra()->destroy(context_);
        context_ = nullptr;
    }
}

std::unique_ptr<AlertSound> makeDesktopAlertSound()
{
    return std::make_unique<AlertSoundCanberra>();
}

} // namespace tekkora
