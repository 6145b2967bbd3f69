#include "platform/sound/wave_queue.h"

#include <algorithm>
#include <cstring>

namespace platform {

WaveQueue::WaveQueue(const PcmFormat& format, std::uintptr_t device, ThreadId notify)
    : format_(format), device_(device), notify_(notify)
{
}

bool WaveQueue::write(WaveBuffer& buffer)
{
    std::lock_guard lock(mutex_);
    if (closed_ || std::find(buffers_.begin(), buffers_.end(), &buffer) != buffers_.end())
        return false;
    buffers_.push_back(&buffer);
    return true;
}

bool WaveQueue::holds(const WaveBuffer& buffer) const
{
    std::lock_guard lock(mutex_);
    return std::find(buffers_.begin(), buffers_.end(), &buffer) != buffers_.end();
}

std::size_t WaveQueue::take(std::uint8_t* out, std::size_t bytes)
{
    std::lock_guard lock(mutex_);
    std::size_t copied = 0;
    // Empty buffers are handed back as soon as the sound reaches them.
    while (!buffers_.empty()) {
        WaveBuffer& front = *buffers_.front();
        const std::size_t count = std::min<std::size_t>(front.length - taken_from_front_, bytes - copied);
        if (count > 0)
            std::memcpy(out + copied, front.data + taken_from_front_, count);
        copied += count;
        taken_from_front_ += static_cast<std::uint32_t>(count);
        if (taken_from_front_ < front.length)
            break;
        buffers_.pop_front();
        taken_from_front_ = 0;
        // Posted under the lock, so that the notices keep the order of the buffers.
        post(messages::wave_out_done, reinterpret_cast<std::intptr_t>(&front));
    }
    bytes_taken_ += static_cast<std::int64_t>(copied);
    return copied;
}

void WaveQueue::reset()
{
    std::lock_guard lock(mutex_);
    for (WaveBuffer* buffer : buffers_)
        post(messages::wave_out_done, reinterpret_cast<std::intptr_t>(buffer));
    buffers_.clear();
    taken_from_front_ = 0;
    bytes_taken_ = 0;
}

bool WaveQueue::close()
{
    std::lock_guard lock(mutex_);
    if (!buffers_.empty())
        return false;
    closed_ = true;
    return true;
}

std::optional<std::int64_t> WaveQueue::position() const
{
    std::lock_guard lock(mutex_);
    if (closed_)
        return std::nullopt;
    return bytes_taken_ / format_.block_align();
}

void WaveQueue::set_volume(std::uint16_t left, std::uint16_t right)
{
    volume_ = static_cast<std::uint32_t>(left) | static_cast<std::uint32_t>(right) << 16;
}

std::uint16_t WaveQueue::volume(int channel) const
{
    const std::uint32_t both = volume_;
    return static_cast<std::uint16_t>(channel % 2 == 0 ? both & 0xFFFF : both >> 16);
}

void WaveQueue::post(std::uint32_t message, std::intptr_t lparam) const
{
    post_thread_message(notify_, message, device_, lparam);
}

} // namespace platform
