#pragma once

#include <atomic>
#include <cstdint>

namespace liba {

// Reference-counted byte storage shared by any number of ByteBlock views.
struct ByteStorage {
    std::atomic<int32_t> references{1};
    uint8_t* bytes = nullptr;
    int32_t capacity = 0;
};

// A view [offset, offset + length) onto shared storage. Copies share the bytes;
// writable() gives a private copy first when the storage is shared, so a holder
// never sees another holder's writes. An empty block (length 0) means "no more data"
// wherever blocks flow.
class ByteBlock {
public:
    ByteBlock();
    explicit ByteBlock(int32_t size);
    ByteBlock(int32_t size, const void* source);
    ByteBlock(const ByteBlock& other);
    ByteBlock& operator=(const ByteBlock& other);
    ~ByteBlock();

    ByteBlock sub(int32_t from, int32_t count) const;
    uint8_t* writable();
    void fill(uint8_t value);
    int32_t copy_in(int32_t offset, const ByteBlock& other);

    const uint8_t* data() const { return storage_->bytes + offset_; }
    int32_t length() const { return length_; }
    bool empty() const { return length_ == 0; }
    bool shares_storage_with(const ByteBlock& other) const { return storage_ == other.storage_; }

private:
    void release();

    ByteStorage* storage_;
    int32_t offset_ = 0;
    int32_t length_ = 0;
};

} // namespace liba
