#include "platform/image_check.h"

namespace platform {
namespace {

// Bounds-checked little- and big-endian reads over the file's bytes.
class Bytes {
public:
    explicit Bytes(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    size_t size() const { return bytes_.size(); }
    bool has(size_t at, size_t count) const { return at <= bytes_.size() && count <= bytes_.size() - at; }
    uint8_t u8(size_t at) const { return bytes_[at]; }
    uint32_t le16(size_t at) const { return bytes_[at] | (uint32_t{bytes_[at + 1]} << 8); }
    uint32_t le32(size_t at) const { return le16(at) | (le16(at + 2) << 16); }
    uint32_t be16(size_t at) const { return (uint32_t{bytes_[at]} << 8) | bytes_[at + 1]; }

private:
    std::span<const uint8_t> bytes_;
};

bool sane(int64_t width, int64_t height)
{
    return width > 0 && height > 0 && width <= max_image_side && height <= max_image_side;
}

std::optional<ImageShape> shape(ImageKind kind, int64_t width, int64_t height)
{
    if (!sane(width, height))
        return std::nullopt;
    return ImageShape{kind, {static_cast<int>(width), static_cast<int>(height)}};
}

// Skips a chain of GIF data sub-blocks; false when it runs past the end.
bool skip_sub_blocks(const Bytes& b, size_t& at)
{
    while (b.has(at, 1)) {
        const size_t length = b.u8(at++);
        if (length == 0)
            return true;
        if (!b.has(at, length))
            return false;
        at += length;
    }
    return false;
}

std::optional<ImageShape> check_gif(const Bytes& b)
{
    if (!b.has(0, 13))
        return std::nullopt;
    const uint8_t screen_flags = b.u8(10);
    size_t at = 13;
    if (screen_flags & 0x80)
        at += 3u << ((screen_flags & 7) + 1);
    // The decoder draws every frame into the logical screen: a frame must lie inside it.
    const int64_t width = b.le16(6);
    const int64_t height = b.le16(8);
    if (!sane(width, height))
        return std::nullopt;
    bool has_image = false;
    while (b.has(at, 1)) {
        const uint8_t block = b.u8(at++);
        if (block == 0x3B) {
            if (!has_image)
                return std::nullopt;
            return shape(ImageKind::Gif, width, height);
        }
        if (block == 0x21) {
            if (!b.has(at, 1))
                return std::nullopt;
            ++at;
        } else if (block == 0x2C) {
            if (!b.has(at, 10))
                return std::nullopt;
            const int64_t frame_left = b.le16(at);
            const int64_t frame_top = b.le16(at + 2);
            const int64_t frame_width = b.le16(at + 4);
            const int64_t frame_height = b.le16(at + 6);
            const uint8_t flags = b.u8(at + 8);
            if (!sane(frame_width, frame_height) || frame_left + frame_width > width
                || frame_top + frame_height > height)
                return std::nullopt;
            at += 9;
            if (flags & 0x80)
                at += 3u << ((flags & 7) + 1);
            if (!b.has(at, 1) || b.u8(at) == 0 || b.u8(at) > 11)
                return std::nullopt;
            ++at;
            has_image = true;
        } else {
            return std::nullopt;
        }
        if (!skip_sub_blocks(b, at))
            return std::nullopt;
    }
    return std::nullopt;
}

std::optional<ImageShape> check_bmp(const Bytes& b)
{
    if (!b.has(0, 26))
        return std::nullopt;
    const uint32_t declared_size = b.le32(2);
    const uint32_t pixel_offset = b.le32(10);
    const uint32_t header_size = b.le32(14);
    if (declared_size > b.size())
        return std::nullopt;

    int64_t width, height;
    uint32_t bits, compression = 0, image_size = 0, colours_used = 0;
    size_t entry_size = 4;
    if (header_size == 12) {
        width = b.le16(18);
        height = b.le16(20);
        bits = b.le16(24);
        entry_size = 3;
    } else if (header_size >= 40 && header_size <= 124 && b.has(0, 14 + 40)) {
        width = static_cast<int32_t>(b.le32(18));
        height = static_cast<int32_t>(b.le32(22));
        bits = b.le16(28);
        compression = b.le32(30);
        image_size = b.le32(34);
        colours_used = b.le32(46);
    } else {
        return std::nullopt;
    }
    if (height < 0)
        height = -height;
    if (!sane(width, height) || !b.has(14, header_size))
        return std::nullopt;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return std::nullopt;

    if (bits <= 8) {
        const uint64_t entries = colours_used ? colours_used : (1u << bits);
        if (entries > (1u << bits) || !b.has(14 + header_size, entries * entry_size))
            return std::nullopt;
    }
    uint64_t pixel_bytes;
    const bool run_length = (compression == 1 && bits == 8) || (compression == 2 && bits == 4);
    if (compression == 0 || compression == 3) {
        pixel_bytes = (bits * static_cast<uint64_t>(width) + 31) / 32 * 4 * height;
    } else if (run_length && image_size > 0) {
        pixel_bytes = image_size;
    } else {
        return std::nullopt;
    }
    if (pixel_offset < 14 + header_size || !b.has(pixel_offset, pixel_bytes))
        return std::nullopt;
    return shape(ImageKind::Bmp, width, height);
}

std::optional<ImageShape> check_jpeg(const Bytes& b)
{
    size_t at = 2;
    int64_t width = 0, height = 0;
    bool has_frame = false, has_scan = false;
    while (true) {
        if (!b.has(at, 2) || b.u8(at) != 0xFF)
            return std::nullopt;
        while (b.has(at + 1, 1) && b.u8(at + 1) == 0xFF)
            ++at;
        if (!b.has(at, 2))
            return std::nullopt;
        const uint8_t marker = b.u8(at + 1);
        at += 2;
        if (marker == 0xD9) {
            if (!has_frame || !has_scan)
                return std::nullopt;
            return shape(ImageKind::Jpeg, width, height);
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;
        if (marker == 0xD8 || marker == 0x00 || !b.has(at, 2))
            return std::nullopt;
        const size_t length = b.be16(at);
        if (length < 2 || !b.has(at, length))
            return std::nullopt;
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8
            && marker != 0xCC;
        if (frame) {
            if (length < 8 || has_frame)
                return std::nullopt;
            height = b.be16(at + 3);
            width = b.be16(at + 5);
            has_frame = true;
        }
        at += length;
        if (marker != 0xDA)
            continue;
        if (!has_frame)
            return std::nullopt;
        has_scan = true;
        // Entropy-coded data runs to the next marker that is neither a stuffed zero
        // nor a restart marker.
        while (true) {
            if (!b.has(at, 2))
                return std::nullopt;
            const uint8_t next = b.u8(at + 1);
            if (b.u8(at) == 0xFF && next != 0x00 && next != 0xFF && !(next >= 0xD0 && next <= 0xD7))
                break;
            ++at;
        }
    }
}

} // namespace

std::optional<ImageShape> check_image(std::span<const uint8_t> bytes)
{
    const Bytes b(bytes);
    if (b.has(0, 6) && b.u8(0) == 'G' && b.u8(1) == 'I' && b.u8(2) == 'F' && b.u8(3) == '8'
        && (b.u8(4) == '7' || b.u8(4) == '9') && b.u8(5) == 'a')
        return check_gif(b);
    if (b.has(0, 2) && b.u8(0) == 'B' && b.u8(1) == 'M')
        return check_bmp(b);
    if (b.has(0, 3) && b.u8(0) == 0xFF && b.u8(1) == 0xD8 && b.u8(2) == 0xFF)
        return check_jpeg(b);
    return std::nullopt;
}

} // namespace platform
