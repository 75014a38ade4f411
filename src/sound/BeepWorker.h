#pragma once

// Plays the alert sound on a thread of its own, so that a key press never
// waits for the sound server. beep() only leaves a request in a one-place
// slot and wakes the worker; the worker connects (on start() or the first
// beep), then plays each request it finds there.
//
// No queue: a request that arrives while the worker is busy replaces the one
// waiting, and every play cuts the sound before it short, so a burst of keys
// never plays on after the last of them.
//
// Where the sound cannot be played, the fallback (the window system's bell)
// answers instead: at once in beep() when the server is known to be gone or
// the sound missing, or when the worker has been stuck in one call for
// longer than the grace time (a hung server blocks for half a minute); from
// the worker when a play fails. The fallback may thus run on either thread.
//
// A sound whose calls never block (AlertSound::mayBlock()) gets no thread:
// start() connects and beep() plays on the owner's thread, as the worker
// would.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

namespace tekkora {

class AlertSound;

class BeepWorker {
public:
    enum class State { Idle, Connecting, Ready, Offline, Unavailable, Muted };

    struct Timing {
        std::chrono::milliseconds grace{150};  // stuck in one call longer: the fallback answers
        std::chrono::milliseconds maxAge{300}; // a request older than this when served is dropped
        std::chrono::milliseconds retry{5000}; // offline: reconnect at most this often
    };

    struct Stats {
        std::uint64_t played = 0;    // plays that succeeded
        std::uint64_t coalesced = 0; // requests replaced in the slot before the worker took them
        std::uint64_t fallbacks = 0; // answers given by the fallback
    };

    BeepWorker(std::unique_ptr<AlertSound> sound, std::function<void()> fallback);
    BeepWorker(std::unique_ptr<AlertSound> sound, std::function<void()> fallback, Timing timing);
    // Stops the worker. One stuck in a call to a hung server is left to end
    // by itself, without the fallback, rather than hold up the program's end.
    ~BeepWorker();
    BeepWorker(const BeepWorker &) = delete;
    BeepWorker &operator=(const BeepWorker &) = delete;

    // Starts the worker, which connects; returns at once. Like beep(), to
    // be called from the owner's thread only.
    void start();
    // Never waits for the worker; starts it if start() has not.
    void beep();
    // Rings the fallback for a request still waiting after the grace time
    // because the worker is stuck in a call (connecting to a slow server);
    // the owner calls it once the grace time after a beep() has passed.
    // While a request waits on a call still within the grace time, says how
    // long until it is worth asking again; nothing when none waits.
    std::optional<std::chrono::milliseconds> answerIfStillWaiting();

    State state() const;
    Stats stats() const;

    struct Shared;

private:
    std::shared_ptr<Shared> shared_;
    std::thread thread_;
};

} // namespace tekkora
