#pragma once

// An alert sound without a sound server: each open() and play() answers
// from a script (Played once the script is used up), and either can be held
// at a gate, as a hung server holds them, until the test lets it go. Shared
// with the test, because a worker stuck in a call outlives its owner.

#include "AlertSound.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

namespace tekkora::testing {

class FakeAlertSound final : public AlertSound {
public:
    struct Script {
        std::mutex mutex;
        std::condition_variable changed;
        std::deque<Outcome> opens;
        std::deque<Outcome> plays;
        bool holdOpen = false;
        bool holdPlay = false;
        bool mayBlock = true; // false: the worker calls from the owner's thread
        std::atomic<int> openCalls{0}, playCalls{0}, closeCalls{0};
        std::atomic<int> waiting{0}; // calls held at the gate now
        std::atomic<bool> destroyed{false};

        void release()
        {
            std::lock_guard lock(mutex);
            holdOpen = holdPlay = false;
            changed.notify_all();
        }
    };

    explicit FakeAlertSound(std::shared_ptr<Script> script)
        : script_(std::move(script))
    {
    }
    ~FakeAlertSound() override { script_->destroyed = true; }

    Outcome open() override
    {
        ++script_->openCalls;
        return answer(script_->opens, &Script::holdOpen);
    }
    Outcome play() override
    {
        ++script_->playCalls;
        return answer(script_->plays, &Script::holdPlay);
    }
    void close() override { ++script_->closeCalls; }
    bool mayBlock() const override { return script_->mayBlock; }

private:
    Outcome answer(std::deque<Outcome> &outcomes, bool Script::*hold)
    {
        std::unique_lock lock(script_->mutex);
        ++script_->waiting;
        script_->changed.wait(lock, [&] { return !(script_.get()->*hold); });
        --script_->waiting;
        if (outcomes.empty())
            return Outcome::Played;
        const Outcome outcome = outcomes.front();
        outcomes.pop_front();
        return outcome;
    }

    std::shared_ptr<Script> script_;
};

} // namespace tekkora::testing
