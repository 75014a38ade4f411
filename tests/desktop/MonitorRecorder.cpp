#include "MonitorRecorder.h"

#include "PulseSession.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace tekkora::testing {

namespace {

constexpr int Rate = 44100;
constexpr int BlockFrames = Rate / 1000; // about a millisecond
constexpr int Threshold = 328;           // -40 dBFS
constexpr int GapBlocks = 30;
constexpr auto SettleTime = std::chrono::seconds(1);

} // namespace

MonitorRecorder::MonitorRecorder(const PulseSession &pulse)
    : pulse_(pulse)
    , quietBlocks_(GapBlocks) // the recording starts after silence
{
}

MonitorRecorder::~MonitorRecorder()
{
    stop();
}

bool MonitorRecorder::start()
{
    pulse_.useInThisProcess();
    const pa_sample_spec format{PA_SAMPLE_S16LE, Rate, 1};
    // Short fragments: the sink then renders in short blocks, close to real time.
    pa_buffer_attr attributes{};
    attributes.maxlength = std::uint32_t(-1);
    attributes.fragsize = BlockFrames * sizeof(std::int16_t);
    int error = 0;
    const QByteArray source = pulse_.monitorSource().toLocal8Bit();
    stream_ = pa_simple_new(nullptr, "tekkora tests", PA_STREAM_RECORD, source.constData(), "monitor", &format, nullptr,
                            &attributes, &error);
    if (stream_ == nullptr) {
        error_ = QStringLiteral("cannot record ") + pulse_.monitorSource() + QStringLiteral(": ")
                 + QString::fromLocal8Bit(pa_strerror(error));
        return false;
    }
    thread_ = std::thread([this] { run(); });
    return true;
}

void MonitorRecorder::stop()
{
    stopping_ = true;
    if (thread_.joinable())
        thread_.join();
    if (stream_ != nullptr) {
        pa_simple_free(stream_);
        stream_ = nullptr;
    }
}

void MonitorRecorder::run()
{
    std::int16_t block[BlockFrames];
    while (!stopping_) {
        int error = 0;
        if (pa_simple_read(stream_, block, sizeof block, &error) < 0)
            return;
        const Clock::time_point now = Clock::now();
        int peak = 0;
        for (const std::int16_t sample : block)
            peak = std::max(peak, std::abs(int(sample)));

        std::lock_guard lock(mutex_);
        if (frames_ == 0)
            firstRead_ = now;
        const long long start = frames_;
        frames_ += BlockFrames;
        lastRead_ = now;
        originEstimates_.push_back(now.time_since_epoch()
                                   - std::chrono::duration_cast<Clock::duration>(
                                       std::chrono::duration<double>(double(frames_) / Rate)));
        if (peak >= Threshold) {
            if (quietBlocks_ >= GapBlocks) {
                // The first sample at the threshold starts the sound.
                long long at = start;
                for (int i = 0; i < BlockFrames; ++i)
                    if (std::abs(int(block[i])) >= Threshold) {
                        at = start + i;
                        break;
                    }
                heard_.push_back({at, -1, peak});
            } else {
                heard_.back().endFrame = -1; // a short dip: the same sound goes on
                heard_.back().peak = std::max(heard_.back().peak, peak);
            }
            quietBlocks_ = 0;
        } else {
            if (quietBlocks_ == 0 && !heard_.empty())
                heard_.back().endFrame = start;
            ++quietBlocks_;
        }
    }
}

MonitorRecorder::Clock::time_point MonitorRecorder::timeOfFrame(long long frame) const
{
    // The origin: the median of the estimates after the first second, when
    // the sink has come to render close to real time.
    std::vector<Clock::duration> estimates;
    for (std::size_t i = 0; i < originEstimates_.size(); ++i)
        if (originEstimates_.size() < 2000 || i >= 1000)
            estimates.push_back(originEstimates_[i]);
    if (estimates.empty())
        return {};
    std::nth_element(estimates.begin(), estimates.begin() + estimates.size() / 2, estimates.end());
    const Clock::duration origin = estimates[estimates.size() / 2];
    return Clock::time_point(origin
                             + std::chrono::duration_cast<Clock::duration>(
                                 std::chrono::duration<double>(double(frame) / Rate)));
}

bool MonitorRecorder::isSettled() const
{
    std::lock_guard lock(mutex_);
    return frames_ > 0 && lastRead_ - firstRead_ >= SettleTime;
}

int MonitorRecorder::soundCount() const
{
    std::lock_guard lock(mutex_);
    return int(heard_.size());
}

bool MonitorRecorder::isQuiet() const
{
    std::lock_guard lock(mutex_);
    return quietBlocks_ >= GapBlocks;
}

QList<MonitorRecorder::Sound> MonitorRecorder::sounds() const
{
    std::lock_guard lock(mutex_);
    QList<Sound> out;
    for (const Heard &h : heard_)
        out.append({timeOfFrame(h.startFrame), h.endFrame < 0 ? Clock::time_point::max() : timeOfFrame(h.endFrame),
                    h.peak});
    return out;
}

} // namespace tekkora::testing
