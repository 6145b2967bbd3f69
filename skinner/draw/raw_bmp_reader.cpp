#include "skinner/draw/raw_bmp_reader.h"

#include <vector>

#include "liba/log.h"
#include "platform/image_check.h"

namespace skinner {
namespace {

constexpr size_t file_header_size = 14;
constexpr size_t info_header_size = 40;

uint32_t le16(const uint8_t* p)
{
    return p[0] | (uint32_t{p[1]} << 8);
}

uint32_t le32(const uint8_t* p)
{
    return le16(p) | (le16(p + 2) << 16);
}

// The colour of pixel x of one stored row, as 0x00RRGGBB.
uint32_t pixel_at(const uint8_t* row, int x, uint32_t bits, const std::vector<uint32_t>& palette)
{
    switch (bits) {
    case 1:
    case 4:
    case 8: {
        const uint32_t per_byte = 8 / bits;
        const uint32_t shift = 8 - bits * (1 + x % per_byte);
        const uint32_t index = (row[x / per_byte] >> shift) & ((1u << bits) - 1);
        return index < palette.size() ? palette[index] : 0;
    }
    case 16: {
        const uint32_t v = le16(row + 2 * x);
        const auto five = [](uint32_t c) { return (c << 3) | (c >> 2); };
        return (five((v >> 10) & 31) << 16) | (five((v >> 5) & 31) << 8) | five(v & 31);
    }
    case 24: {
        const uint8_t* p = row + 3 * x;
        return (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
    }
    default:
        return le32(row + 4 * x) & 0x00FFFFFF;
    }
}

} // namespace

std::unique_ptr<platform::Surface> read_raw_bmp(std::span<const uint8_t> bytes, std::u16string_view name)
{
    if (bytes.size() < file_header_size + info_header_size || bytes[0] != 'B' || bytes[1] != 'M')
        return nullptr;
    const uint8_t* info = bytes.data() + file_header_size;
    const uint32_t pixel_offset = le32(bytes.data() + 10);
    const uint32_t header_size = le32(info);
    const int64_t width = static_cast<int32_t>(le32(info + 4));
    const int64_t stored_height = static_cast<int32_t>(le32(info + 8));
    const uint32_t bits = le16(info + 14);
    const uint32_t compression = le32(info + 16);
    const uint32_t colours_used = le32(info + 32);
    const bool bottom_up = stored_height > 0;
    const int64_t height = bottom_up ? stored_height : -stored_height;

    if (header_size < info_header_size || header_size > bytes.size() - file_header_size)
        return nullptr;
    if (width <= 0 || height <= 0 || width > platform::max_image_side || height > platform::max_image_side)
        return nullptr;
    if (compression != 0 || (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32))
        return nullptr;

    std::vector<uint32_t> palette;
    const size_t palette_at = file_header_size + header_size;
    if (bits <= 8) {
        const size_t entries = colours_used != 0 && colours_used < (1u << bits) ? colours_used : (1u << bits);
        if (entries * 4 > bytes.size() - palette_at)
            return nullptr;
        for (size_t i = 0; i < entries; ++i)
            palette.push_back(le32(bytes.data() + palette_at + 4 * i) & 0x00FFFFFF);
    }
    const size_t stride = (bits * static_cast<size_t>(width) + 31) / 32 * 4;
    const size_t pixel_bytes = static_cast<size_t>(height) * stride;
    liba::log() << u"load_zipped_image: " << name << u" - " << static_cast<unsigned long>(pixel_bytes) << u"\n";
    if (pixel_offset < palette_at + 4 * palette.size() || pixel_offset > bytes.size()
        || pixel_bytes > bytes.size() - pixel_offset)
        return nullptr;

    auto surface = platform::Surface::create(static_cast<int>(width), static_cast<int>(height));
    if (!surface)
        return nullptr;
    for (int y = 0; y < surface->height(); ++y) {
        const int stored_row = bottom_up ? surface->height() - 1 - y : y;
        const uint8_t* row = bytes.data() + pixel_offset + static_cast<size_t>(stored_row) * stride;
        uint32_t* out = surface->row(y);
        for (int x = 0; x < surface->width(); ++x)
            out[x] = pixel_at(row, x, bits, palette);
    }
    return surface;
}

} // namespace skinner
