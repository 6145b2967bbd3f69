#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "liba/nocopy.h"
#include "platform/base/message_queue.h"

// The waveform output device: sound is handed over in buffers that the caller owns and
// prepares; the device plays them in the order written and gives each back with a
// notice posted to the queue of the thread named at opening. The notices carry the
// device's id in wparam, so a notice from a device that is already gone is recognised.
namespace platform {

namespace messages {
constexpr std::uint32_t wave_out_open = 955;  // wparam: device id
constexpr std::uint32_t wave_out_close = 956; // wparam: device id
constexpr std::uint32_t wave_out_done = 957;  // wparam: device id; lparam: the WaveBuffer*
} // namespace messages

// Interleaved little-endian PCM: 8-bit samples unsigned, wider ones signed.
struct PcmFormat {
    int channels = 0;
    int bits = 0;
    int sample_rate = 0;

    int block_align() const { return bits * channels / 8; }
    int bytes_per_second() const { return sample_rate * block_align(); }
    bool is_playable() const;
    bool operator==(const PcmFormat&) const = default;
};

// A buffer of sound. The bytes stay the caller's and must stay put from write() until
// the buffer comes back with wave_out_done (or the device is reset or destroyed).
struct WaveBuffer {
    const std::uint8_t* data = nullptr;
    std::uint32_t length = 0;
    bool prepared = false;
};

class WaveQueue;
class AudioSink;

class WaveformOut : liba::Nocopy {
public:
    // Opens the chosen sound output (platform/sound/audio_output.h) for format and posts
    // wave_out_open to the thread's queue; null when the format cannot be played.
    static std::unique_ptr<WaveformOut> open(const PcmFormat& format, ThreadId notify);
    // Resets and closes a device that is still open.
    ~WaveformOut();

    std::uintptr_t id() const { return id_; }
    const PcmFormat& format() const { return format_; }

    bool prepare(WaveBuffer& buffer);
    // False while the device still holds the buffer.
    bool unprepare(WaveBuffer& buffer);
    // Queues a prepared buffer behind those already written. False when the buffer is
    // not prepared, already queued, or the device is closed.
    bool write(WaveBuffer& buffer);
    // Stops the sound at once and gives every queued buffer back, in the order written;
    // the notices are posted, not handled here. The position starts again at 0.
    void reset();
    // Stops the output and posts wave_out_close. False, and nothing changes, while
    // buffers are queued.
    bool close();

    // Sample frames played since the opening or the last reset; none once closed.
    std::optional<std::int64_t> position() const;
    // 0 silent, 65535 full, for the left and the right channel.
    void set_volume(std::uint16_t left, std::uint16_t right);

private:
    WaveformOut(const PcmFormat& format, ThreadId notify);

    const std::uintptr_t id_;
    const PcmFormat format_;
    std::unique_ptr<WaveQueue> queue_;
    std::unique_ptr<AudioSink> sink_;
};

} // namespace platform
