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
    // Whether a call may wait on something outside the program. One that
    // never does (the browser's audio, which only schedules the sound) is
    // called on the owner's thread, where the platform has no other.
    virtual bool mayBlock() const { return true; }
};

} // namespace tekkora
