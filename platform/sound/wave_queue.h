#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>

#include "liba/nocopy.h"
#include "platform/base/message_queue.h"
#include "platform/sound/waveform_out.h"

namespace platform {

// The buffers written to one waveform device, in order, and the sound taken out of
// them by the device's sink from a thread of its own. A buffer whose last byte has
// been taken goes back to its owner with wave_out_done.
class WaveQueue : liba::Nocopy {
public:
    WaveQueue(const PcmFormat& format, std::uintptr_t device, ThreadId notify);

    const PcmFormat& format() const { return format_; }

    bool write(WaveBuffer& buffer);
    bool holds(const WaveBuffer& buffer) const;
    // Copies up to bytes bytes of queued sound to out and answers how many it copied.
    std::size_t take(std::uint8_t* out, std::size_t bytes);
    void reset();
    // Refuses further writes; false, and nothing changes, while buffers are queued.
    bool close();
    std::optional<std::int64_t> position() const;

    void set_volume(std::uint16_t left, std::uint16_t right);
    std::uint16_t volume(int channel) const;

    void post(std::uint32_t message, std::intptr_t lparam = 0) const;

private:
    const PcmFormat format_;
    const std::uintptr_t device_;
    const ThreadId notify_;
    mutable std::mutex mutex_;
    std::deque<WaveBuffer*> buffers_;
    std::uint32_t taken_from_front_ = 0;
    std::int64_t bytes_taken_ = 0;
    bool closed_ = false;
    std::atomic<std::uint32_t> volume_{0xFFFF'FFFF}; // left in the low half
};

} // namespace platform
