#include "audio/wav_info.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

#include "os/file.h"

namespace audio {
namespace {

bool read_exactly(os::File& file, void* buffer, int32_t count) { return file.read(buffer, count) == count; }

bool read_u16(os::File& file, uint16_t& value)
{
    uint8_t bytes[2];
    if (!read_exactly(file, bytes, 2))
        return false;
    value = static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
    return true;
}

bool read_u32(os::File& file, uint32_t& value)
{
    uint8_t bytes[4];
    if (!read_exactly(file, bytes, 4))
        return false;
    value = uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 24;
    return true;
}

bool read_id(os::File& file, char (&id)[4]) { return read_exactly(file, id, 4); }

bool is_id(const char (&id)[4], std::string_view wanted) { return std::string_view(id, 4) == wanted; }

// Moves to offset when it is a position the file can have.
bool seek_to(os::File& file, int64_t offset)
{
    return offset >= 0 && offset <= std::numeric_limits<int32_t>::max() && file.seek(static_cast<int32_t>(offset));
}

constexpr uint16_t pcm_tag = 1;
constexpr uint16_t float_tag = 3;
constexpr uint16_t extensible_tag = 0xFFFE;

// RIFF chunks are padded to an even length; the pad byte is not part of the size.
int64_t padded(uint32_t size) { return int64_t{size} + (size & 1); }

} // namespace

bool WAVInfoPCM::read_extension(os::File& file)
{
    uint16_t kind = format_tag;
    if (format_tag == extensible_tag) {
        // Extra size, valid bits per sample, channel mask, then the sub-format GUID: a
        // format tag in its first two bytes and the fixed tail of the audio GUIDs.
        constexpr uint8_t guid_tail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                           0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
        uint16_t extra = 0, valid_bits = 0;
        uint8_t guid[16];
        if (fmt_size < 40 || !read_u16(file, extra) || extra < 22 || !read_u16(file, valid_bits) ||
            !read_u32(file, channel_mask) || !read_exactly(file, guid, 16) ||
            std::memcmp(guid + 2, guid_tail, sizeof guid_tail) != 0)
            return false;
        kind = static_cast<uint16_t>(guid[0] | guid[1] << 8);
    }
    floating_point = kind == float_tag;
    const bool integer = kind == pcm_tag && bits_per_sample > 0 && bits_per_sample <= 32;
    const bool real = floating_point && (bits_per_sample == 32 || bits_per_sample == 64);
    // A consistent frame layout keeps every block a whole number of sample frames.
    return (integer || real) && channels > 0 && sample_rate > 0 &&
           block_align == channels * ((bits_per_sample + 7) / 8);
}

bool WAVInfoPCM::write_extension(os::File&) { return true; }

bool read_wav_header(os::File& file, WAVInfo& info)
{
    char id[4];
    if (!file.ok() || !file.seek(0))
        return false;
    if (!read_id(file, id) || !is_id(id, "RIFF") || !read_u32(file, info.riff_size))
        return false;
    if (!read_id(file, id) || !is_id(id, "WAVE"))
        return false;
    if (!read_id(file, id) || !is_id(id, "fmt ") || !read_u32(file, info.fmt_size))
        return false;
    const int64_t fmt_start = file.tell();

    uint16_t channels = 0, block_align = 0, bits = 0;
    uint32_t sample_rate = 0, average_bytes = 0;
    if (!read_u16(file, info.format_tag) || !read_u16(file, channels) || !read_u32(file, sample_rate) ||
        !read_u32(file, average_bytes) || !read_u16(file, block_align) || !read_u16(file, bits))
        return false;
    info.channels = channels;
    info.sample_rate = static_cast<int32_t>(std::min<uint32_t>(sample_rate, std::numeric_limits<int32_t>::max()));
    info.average_bytes_per_second =
        static_cast<int32_t>(std::min<uint32_t>(average_bytes, std::numeric_limits<int32_t>::max()));
    info.block_align = block_align;
    info.bits_per_sample = bits;
    if (info.fmt_size < 16 || !info.read_extension(file))
        return false;

    // The fmt chunk may carry more than this format reads (18- and 40-byte chunks are
    // common): the next chunk starts where the declared size says.
    const int64_t fmt_end = fmt_start + padded(info.fmt_size);
    if (fmt_end > file.tell() && !seek_to(file, fmt_end))
        return false;

    if (!find_chunk(file, "data", info.data_size))
        return false;
    info.data_start = file.tell();
    if (info.data_size == 0)
        info.data_size = static_cast<uint32_t>(std::max(0, file.size() - info.data_start));
    return true;
}

bool find_chunk(os::File& file, std::string_view wanted, uint32_t& size)
{
    for (;;) {
        char id[4];
        uint32_t chunk_size = 0;
        if (!read_id(file, id) || !read_u32(file, chunk_size))
            return false;
        if (is_id(id, wanted)) {
            size = chunk_size;
            return true;
        }
        if (!seek_to(file, file.tell() + padded(chunk_size)))
            return false;
    }
}

} // namespace audio
