#include "liba/byte_block.h"

#include <algorithm>
#include <cstring>

namespace liba {
namespace {

ByteStorage* new_storage(int32_t size)
{
    auto* storage = new ByteStorage;
    storage->capacity = std::max(size, 0);
    storage->bytes = new uint8_t[static_cast<size_t>(storage->capacity)];
    return storage;
}

} // namespace

ByteBlock::ByteBlock() : storage_(new_storage(0)) {}

ByteBlock::ByteBlock(int32_t size) : storage_(new_storage(size)), length_(storage_->capacity) {}

ByteBlock::ByteBlock(int32_t size, const void* source) : ByteBlock(size)
{
    if (length_ > 0)
        std::memcpy(storage_->bytes, source, static_cast<size_t>(length_));
}

ByteBlock::ByteBlock(const ByteBlock& other)
    : storage_(other.storage_), offset_(other.offset_), length_(other.length_)
{
    storage_->references.fetch_add(1, std::memory_order_relaxed);
}

ByteBlock& ByteBlock::operator=(const ByteBlock& other)
{
    // Take the new share before letting go of the old one: self-assignment is safe.
    other.storage_->references.fetch_add(1, std::memory_order_relaxed);
    release();
    storage_ = other.storage_;
    offset_ = other.offset_;
    length_ = other.length_;
    return *this;
}

ByteBlock::~ByteBlock() { release(); }

void ByteBlock::release()
{
    if (storage_->references.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        delete[] storage_->bytes;
        delete storage_;
    }
}

ByteBlock ByteBlock::sub(int32_t from, int32_t count) const
{
    ByteBlock view(*this);
    view.offset_ = offset_ + from;
    view.length_ = count;
    return view;
}

uint8_t* ByteBlock::writable()
{
    if (storage_->references.load(std::memory_order_acquire) != 1) {
        ByteBlock copy(length_, data());
        *this = copy;
    }
    return storage_->bytes + offset_;
}

void ByteBlock::fill(uint8_t value)
{
    if (length_ > 0)
        std::memset(writable(), value, static_cast<size_t>(length_));
}

int32_t ByteBlock::copy_in(int32_t offset, const ByteBlock& other)
{
    const int32_t count = std::max(0, std::min(other.length(), length_ - offset));
    if (count > 0)
        std::memmove(writable() + offset, other.data(), static_cast<size_t>(count));
    return count;
}

} // namespace liba
