#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/sound/audio_sink.h"
#include "platform/sound/wave_queue.h"

namespace platform {

// Plays its device's sound on the sound card through SDL2 audio. SDL converts rate
// and channels to what the card takes; the samples reach it as signed 16-bit, with
// the device's volume applied.
class SdlAudioSink : public AudioSink {
public:
    // Null, with the reason in error, when SDL has no sound device to offer.
    static std::unique_ptr<SdlAudioSink> open(WaveQueue& queue, std::string& error);
    ~SdlAudioSink() override;

private:
    explicit SdlAudioSink(WaveQueue& queue);
    static void callback(void* self, std::uint8_t* stream, int length);
    void fill(std::int16_t* out, int frames);

    WaveQueue& queue_;
    std::uint32_t device_ = 0;
    std::vector<std::uint8_t> sound_;
};

} // namespace platform
