#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <utility>

// An owned block of zeroed bytes. Zeroed by the allocator, so a large image costs
// memory only where pixels are written.
class QelPixelBuffer {
public:
    QelPixelBuffer() = default;
    QelPixelBuffer(QelPixelBuffer&& other) noexcept
        : bytes_(std::move(other.bytes_)), size_(std::exchange(other.size_, 0))
    {
    }
    QelPixelBuffer& operator=(QelPixelBuffer&& other) noexcept
    {
        bytes_ = std::move(other.bytes_);
        size_ = std::exchange(other.size_, 0);
        return *this;
    }

    // An empty buffer when the memory is not available.
    static QelPixelBuffer zeroed(size_t size)
    {
        QelPixelBuffer buffer;
        buffer.bytes_.reset(static_cast<uint8_t*>(std::calloc(size, 1)));
        buffer.size_ = buffer.bytes_ ? size : 0;
        return buffer;
    }

    uint8_t* data() { return bytes_.get(); }
    const uint8_t* data() const { return bytes_.get(); }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::span<const uint8_t> bytes() const { return {bytes_.get(), size_}; }

private:
    struct Free {
        void operator()(uint8_t* bytes) const { std::free(bytes); }
    };
    std::unique_ptr<uint8_t[], Free> bytes_;
    size_t size_ = 0;
};
