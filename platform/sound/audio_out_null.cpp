#include "platform/sound/audio_out_null.h"

#include <chrono>
#include <cmath>
#include <vector>

#include "platform/sound/audio_out_wav.h"

namespace platform {

namespace {

// How often the sink wakes to take the sound that became due.
constexpr std::chrono::milliseconds tick(10);

} // namespace

NullAudioSink::NullAudioSink(WaveQueue& queue, double speed, std::shared_ptr<WavFile> recording)
    : queue_(queue),
      frames_per_second_(queue.format().sample_rate * (speed > 0 ? speed : 1.0)),
      recording_(std::move(recording)),
      thread_(&NullAudioSink::run, this)
{
}

NullAudioSink::~NullAudioSink()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    stop_requested_.notify_all();
    thread_.join();
}

void NullAudioSink::run()
{
    using Clock = std::chrono::steady_clock;
    const int block_align = queue_.format().block_align();
    std::vector<std::uint8_t> sound;
    double due_frames = 0;
    Clock::time_point last = Clock::now();
    std::unique_lock lock(mutex_);
    while (!stop_requested_.wait_for(lock, tick, [this] { return stopping_; })) {
        lock.unlock();
        const Clock::time_point now = Clock::now();
        due_frames += std::chrono::duration<double>(now - last).count() * frames_per_second_;
        last = now;
        const double whole_frames = std::floor(due_frames);
        due_frames -= whole_frames;
        sound.resize(static_cast<std::size_t>(whole_frames) * block_align);
        // Time that found nothing queued passes in silence, as on a real device.
        const std::size_t taken = queue_.take(sound.data(), sound.size());
        if (recording_ && taken > 0)
            recording_->append(sound.data(), taken);
        lock.lock();
    }
}

} // namespace platform
