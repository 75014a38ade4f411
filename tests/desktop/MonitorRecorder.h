#pragma once

// Records what a PulseSession plays (its null sink's monitor) on a thread of
// its own, and finds the sounds in it as they come: a sound starts where the
// level reaches -40 dBFS after at least 30 ms below it and ends where such a
// gap begins. Times are on the steady clock (CLOCK_MONOTONIC), the clock of
// the tests' key presses, good to about a millisecond: each read tells when
// its last sample was rendered.

#include <QList>
#include <QString>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

struct pa_simple;

namespace tekkora::testing {

class PulseSession;

class MonitorRecorder {
public:
    using Clock = std::chrono::steady_clock;

    struct Sound {
        Clock::time_point start;
        Clock::time_point end; // Clock::time_point::max() while it sounds
        int peak = 0;          // of 32767
    };

    // Points this process's sound clients at the session (see
    // PulseSession::useInThisProcess) and records its monitor from start().
    explicit MonitorRecorder(const PulseSession &pulse);
    ~MonitorRecorder();
    MonitorRecorder(const MonitorRecorder &) = delete;
    MonitorRecorder &operator=(const MonitorRecorder &) = delete;

    bool start();
    QString error() const { return error_; }
    void stop();

    // Data has come for a second: a fresh null sink renders far ahead until
    // a recorder with short blocks has been attached a while, and a sound
    // played before then may come out garbled.
    bool isSettled() const;
    int soundCount() const;
    // No sound now, and none for the length of a gap.
    bool isQuiet() const;
    QList<Sound> sounds() const;

private:
    void run();
    Clock::time_point timeOfFrame(long long frame) const; // with mutex_ held

    const PulseSession &pulse_;
    QString error_;
    pa_simple *stream_ = nullptr;
    std::thread thread_;
    std::atomic<bool> stopping_{false};

    mutable std::mutex mutex_;
    long long frames_ = 0;
    std::vector<Clock::duration> originEstimates_; // per read: its time less the frames so far
    Clock::time_point firstRead_{};
    Clock::time_point lastRead_{};
    struct Heard {
        long long startFrame;
        long long endFrame; // -1 while it sounds
        int peak;
    };
    std::vector<Heard> heard_;
    int quietBlocks_;
};

} // namespace tekkora::testing
