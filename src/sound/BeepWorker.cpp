#include "BeepWorker.h"

#include "AlertSound.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#if defined(__linux__)
#include <pthread.h>
#include <sched.h>
#endif

namespace tekkora {

namespace {

using Clock = std::chrono::steady_clock;
using Outcome = AlertSound::Outcome;

constexpr auto JoinWait = std::chrono::milliseconds(250);

BeepWorker::State stateAfter(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Played: return BeepWorker::State::Ready;
    case Outcome::Offline: return BeepWorker::State::Offline;
    case Outcome::Unavailable: return BeepWorker::State::Unavailable;
    case Outcome::Muted: return BeepWorker::State::Muted;
    }
    return BeepWorker::State::Unavailable;
}

// A woken batch thread does not preempt the thread that woke it, so beep()
// is not put off its core by its own wake-up call; libpulse's thread, which
// the sound library starts from the worker, inherits the policy.
void runAsBatchThread()
{
#if defined(__linux__)
    sched_param param{};
    pthread_setschedparam(pthread_self(), SCHED_BATCH, &param);
#endif
}

} // namespace

struct BeepWorker::Shared {
    std::unique_ptr<AlertSound> sound;
    Timing timing;

    std::atomic<State> state{State::Idle};
    // When the worker entered the call it is in; the epoch when in none.
    std::atomic<Clock::time_point> busySince{Clock::time_point{}};
    std::atomic<std::uint64_t> played{0}, coalesced{0}, fallbacks{0};

    std::mutex slotMutex; // never held across a call to the sound
    std::condition_variable wake;
    std::condition_variable finished;
    Clock::time_point slot{}; // the latest request not yet taken; the epoch when none
    bool slotAnswered = false; // beep() rang the fallback for it already
    bool stop = false;
    bool done = false;

    std::mutex fallbackMutex; // the fallback is cut off when the owner goes
    std::function<void()> fallback;

    Clock::time_point lastConnect{}; // worker only

    void ringFallback()
    {
        ++fallbacks;
        std::lock_guard lock(fallbackMutex);
        if (fallback)
            fallback();
    }

    void post(Clock::time_point when, bool answered)
    {
        {
            std::lock_guard lock(slotMutex);
            if (slot != Clock::time_point{} && !slotAnswered)
                ++coalesced;
            slot = when;
            slotAnswered = answered;
        }
        wake.notify_one();
    }

    template <typename Call>
    Outcome busy(Call call)
    {
        busySince = Clock::now();
        const Outcome outcome = call();
        busySince = Clock::time_point{};
        return outcome;
    }

    void connect()
    {
        lastConnect = Clock::now();
        const Outcome outcome = busy([this] { return sound->open(); });
        if (outcome != Outcome::Played)
            sound->close();
        state = stateAfter(outcome);
    }

    void play(Clock::time_point requested)
    {
        const Outcome outcome = busy([this] { return sound->play(); });
        if (outcome == Outcome::Played) {
            ++played;
            return;
        }
        // Whatever went wrong, start over on a later request.
        sound->close();
        lastConnect = Clock::now();
        state = stateAfter(outcome == Outcome::Muted ? Outcome::Unavailable : outcome);
        if (Clock::now() - requested <= timing.maxAge)
            ringFallback();
    }

    void serve(Clock::time_point requested, bool answered)
    {
        if (state == State::Offline && Clock::now() - lastConnect >= timing.retry)
            connect();
        if (answered)
            return;
        if (Clock::now() - requested > timing.maxAge)
            return; // too late to mean its key
        switch (state.load()) {
        case State::Ready: play(requested); break;
        case State::Offline:
        case State::Unavailable: ringFallback(); break; // the connection failed while it waited
        default: break;
        }
    }

    void run()
    {
        runAsBatchThread();
        connect();
        std::unique_lock lock(slotMutex);
        for (;;) {
            wake.wait(lock, [this] { return stop || slot != Clock::time_point{}; });
            if (stop)
                break;
            const Clock::time_point requested = slot;
            const bool answered = slotAnswered;
            slot = {};
            slotAnswered = false;
            lock.unlock();
            serve(requested, answered);
            lock.lock();
        }
        lock.unlock();
        sound->close();
        lock.lock();
        done = true;
        finished.notify_all();
    }
};

BeepWorker::BeepWorker(std::unique_ptr<AlertSound> sound, std::function<void()> fallback)
    : BeepWorker(std::move(sound), std::move(fallback), Timing{})
{
}

BeepWorker::BeepWorker(std::unique_ptr<AlertSound> sound, std::function<void()> fallback, Timing timing)
    : shared_(std::make_shared<Shared>())
{
    shared_->sound = std::move(sound);
    shared_->fallback = std::move(fallback);
    shared_->timing = timing;
}

BeepWorker::~BeepWorker()
{
    {
        std::lock_guard lock(shared_->fallbackMutex);
        shared_->fallback = nullptr;
    }
    if (!thread_.joinable())
        return;
    std::unique_lock lock(shared_->slotMutex);
    shared_->stop = true;
    shared_->wake.notify_all();
    const bool ended = shared_->finished.wait_for(lock, JoinWait, [this] { return shared_->done; });
    lock.unlock();
    if (ended)
        thread_.join();
    else
        thread_.detach();
}

void BeepWorker::start()
{
    if (shared_->state != State::Idle)
        return;
    shared_->state = State::Connecting;
    if (!shared_->sound->mayBlock()) {
        shared_->connect();
        return;
    }
    shared_->busySince = Clock::now();
    try {
        thread_ = std::thread([shared = shared_] { shared->run(); });
    } catch (const std::system_error &) {
        shared_->busySince = Clock::time_point{};
        shared_->state = State::Unavailable; // no thread to be had: the bell it is
    }
}

void BeepWorker::beep()
{
    const Clock::time_point now = Clock::now();
    start();
    if (!shared_->sound->mayBlock()) {
        shared_->serve(now, false);
        return;
    }
    switch (shared_->state.load()) {
    case State::Muted: return;
    case State::Unavailable: shared_->ringFallback(); return;
    case State::Offline:
        shared_->ringFallback();
        shared_->post(now, true); // lets the worker see whether the server is back
        return;
    default: break;
    }
    const Clock::time_point busy = shared_->busySince;
    if (busy != Clock::time_point{} && now - busy > shared_->timing.grace) {
        shared_->ringFallback();
        return;
    }
    shared_->post(now, false);
}

std::optional<std::chrono::milliseconds> BeepWorker::answerIfStillWaiting()
{
    const Clock::time_point now = Clock::now();
    const Clock::time_point busy = shared_->busySince;
    if (busy == Clock::time_point{})
        return std::nullopt; // the worker is free and takes the request itself
    {
        std::lock_guard lock(shared_->slotMutex);
        if (shared_->slot == Clock::time_point{} || shared_->slotAnswered)
            return std::nullopt;
        if (now - busy <= shared_->timing.grace)
            return std::chrono::ceil<std::chrono::milliseconds>(shared_->timing.grace - (now - busy));
        shared_->slotAnswered = true;
    }
    shared_->ringFallback();
    return std::nullopt;
}

BeepWorker::State BeepWorker::state() const
{
    return shared_->state;
}

BeepWorker::Stats BeepWorker::stats() const
{
    return {shared_->played, shared_->coalesced, shared_->fallbacks};
}

} // namespace tekkora
