#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/sound/audio_sink.h"
#include "platform/sound/wave_queue.h"

namespace platform {

class WavFile;

// Takes the sound of its device at the pace of the device's sample rate (times speed)
// and drops it, or hands it to a recording.
class NullAudioSink : public AudioSink {
public:
    NullAudioSink(WaveQueue& queue, double speed, std::shared_ptr<WavFile> recording = nullptr);
    ~NullAudioSink() override;

private:
    void run();

    WaveQueue& queue_;
    const double frames_per_second_;
    const std::shared_ptr<WavFile> recording_;
    std::mutex mutex_;
    std::condition_variable stop_requested_;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace platform
