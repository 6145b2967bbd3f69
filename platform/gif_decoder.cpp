#include "platform/gif_decoder.h"

#include <array>
#include <vector>

#include "platform/image_check.h"

namespace platform {
namespace {

constexpr int max_codes = 4096;

// Reads the colour table at at (3 bytes an entry) as pixels.
std::vector<uint32_t> read_palette(std::span<const uint8_t> bytes, size_t at, size_t entries)
{
    std::vector<uint32_t> palette;
    for (size_t i = 0; i < entries && at + 3 * i + 2 < bytes.size(); ++i) {
        const uint8_t* rgb = bytes.data() + at + 3 * i;
        palette.push_back((uint32_t{rgb[0]} << 16) | (uint32_t{rgb[1]} << 8) | rgb[2]);
    }
    return palette;
}

// The data of a chain of sub-blocks, joined; false when the chain runs off the end.
bool join_sub_blocks(std::span<const uint8_t> bytes, size_t& at, std::vector<uint8_t>* data)
{
    while (at < bytes.size()) {
        const size_t length = bytes[at++];
        if (length == 0)
            return true;
        if (length > bytes.size() - at)
            return false;
        if (data)
            data->insert(data->end(), bytes.begin() + at, bytes.begin() + at + length);
        at += length;
    }
    return false;
}

// Variable-length LZW as GIF uses it. Calls put(index) for every decoded colour index
// until count indexes were produced or the stream ends; false on an impossible code.
template <typename Put>
bool decompress(const std::vector<uint8_t>& data, int minimum_size, size_t count, Put put)
{
    const int clear = 1 << minimum_size;
    const int end = clear + 1;
    std::array<uint16_t, max_codes> prefix{};
    std::array<uint8_t, max_codes> suffix{};
    std::array<uint8_t, max_codes> first{};
    std::array<uint8_t, max_codes> stack{};
    for (int i = 0; i < clear; ++i)
        suffix[i] = first[i] = static_cast<uint8_t>(i);

    int size = minimum_size + 1;
    int next = end + 1;
    int previous = -1;
    size_t produced = 0;
    uint32_t bits = 0;
    int held = 0;
    size_t at = 0;
    while (produced < count) {
        while (held < size && at < data.size()) {
            bits |= uint32_t{data[at++]} << held;
            held += 8;
        }
        if (held < size)
            return true; // the data ran out: the rest keeps the background
        const int code = static_cast<int>(bits & ((1u << size) - 1));
        bits >>= size;
        held -= size;
        if (code == clear) {
            size = minimum_size + 1;
            next = end + 1;
            previous = -1;
            continue;
        }
        if (code == end)
            return true;
        int string;
        uint8_t head;
        if (previous < 0) {
            if (code >= clear)
                return false;
            string = code;
            head = first[code];
        } else if (code < next) {
            string = code;
            head = first[code];
        } else if (code == next && next < max_codes) {
            // The code being defined: the previous string and its own first index.
            head = first[previous];
            prefix[next] = static_cast<uint16_t>(previous);
            suffix[next] = head;
            first[next] = head;
            string = code;
        } else {
            return false;
        }
        if (previous >= 0 && next < max_codes) {
            prefix[next] = static_cast<uint16_t>(previous);
            suffix[next] = head;
            first[next] = first[previous];
            ++next;
            if (next == (1 << size) && size < 12)
                ++size;
        }
        int depth = 0;
        for (int c = string; depth < max_codes; c = prefix[c]) {
            stack[depth++] = suffix[c];
            if (c < clear)
                break;
        }
        while (depth > 0 && produced < count) {
            put(stack[--depth]);
            ++produced;
        }
        previous = code;
    }
    return true;
}

} // namespace

std::unique_ptr<Surface> decode_gif(std::span<const uint8_t> bytes)
{
    const auto shape = check_image(bytes);
    if (!shape || shape->kind != ImageKind::Gif)
        return nullptr;
    const uint8_t screen_flags = bytes[10];
    size_t at = 13;
    std::vector<uint32_t> palette;
    if (screen_flags & 0x80) {
        const size_t entries = size_t{2} << (screen_flags & 7);
        palette = read_palette(bytes, at, entries);
        at += 3 * entries;
    }
    auto surface = Surface::create(shape->size.width, shape->size.height);
    if (!surface)
        return nullptr;
    const uint8_t background = bytes[11];
    if (background < palette.size())
        std::fill(surface->pixels(), surface->pixels() + size_t(surface->width()) * surface->height(), palette[background]);

    // Skip extensions up to the first image; check_image vouched for the structure.
    while (at < bytes.size() && bytes[at] == 0x21) {
        at += 2;
        if (!join_sub_blocks(bytes, at, nullptr))
            return nullptr;
    }
    if (at + 10 > bytes.size() || bytes[at] != 0x2C)
        return nullptr;
    const uint8_t* descriptor = bytes.data() + at + 1;
    const int left = descriptor[0] | (descriptor[1] << 8);
    const int top = descriptor[2] | (descriptor[3] << 8);
    const int width = descriptor[4] | (descriptor[5] << 8);
    const int height = descriptor[6] | (descriptor[7] << 8);
    const uint8_t flags = descriptor[8];
    at += 10;
    if (flags & 0x80) {
        const size_t entries = size_t{2} << (flags & 7);
        palette = read_palette(bytes, at, entries);
        at += 3 * entries;
    }
    if (at >= bytes.size())
        return nullptr;
    const int minimum_size = bytes[at++];
    std::vector<uint8_t> data;
    if (minimum_size < 2 || minimum_size > 11 || !join_sub_blocks(bytes, at, &data))
        return nullptr;

    // Interlaced frames store rows in four passes.
    std::vector<int> rows;
    if (flags & 0x40) {
        for (const auto& [start, step] : {std::pair{0, 8}, std::pair{4, 8}, std::pair{2, 4}, std::pair{1, 2}})
            for (int y = start; y < height; y += step)
                rows.push_back(y);
    } else {
        for (int y = 0; y < height; ++y)
            rows.push_back(y);
    }
    size_t produced = 0;
    const bool complete = decompress(data, minimum_size, size_t(width) * height, [&](uint8_t index) {
        const int x = static_cast<int>(produced % width);
        const int y = rows[produced / width];
        surface->set_pixel(left + x, top + y, index < palette.size() ? palette[index] : 0);
        ++produced;
    });
    return complete ? std::move(surface) : nullptr;
}

} // namespace platform
