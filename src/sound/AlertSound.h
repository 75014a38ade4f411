#pragma once

namespace tekkora {

// The desktop's alert sound as BeepWorker drives it: one thread makes every
// call, and any call may block (for a hung sound server, up to half a
// minute), which is why only the worker makes them.
class AlertSound {
public:
    enum class Outcome {
        Played,      // connected / playing
        Offline,     // no sound server answers, or it went away: try later
        Unavailable, // no backend or no such sound in the theme: never
        Muted,       // the desktop turned event sounds off: stay silent
    };

    virtual ~AlertSound() = default;
    // Connects to the sound server and has the sound ready to play.
    virtual Outcome open() = 0;
    // Cuts short the sound still playing, if any, and starts it anew.
    virtual Outcome play() = 0;
    // Disconnects; open() may follow.
    virtual void close() = 0;
};

} // namespace tekkora
