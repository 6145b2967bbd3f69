#include "audio/mp3_stream_headers.h"

#include <algorithm>
#include <cstring>

namespace audio {
namespace {

constexpr int32_t id3v2_header_bytes = 10;
constexpr uint8_t id3v2_footer_flag = 0x10;
constexpr int32_t xing_toc_points = 100;
// Where the encoder delay sits in LAME's extension after the Xing fields.
constexpr int32_t lame_delay_offset = 21;
constexpr int32_t lame_extension_bytes = 24;
// The VBRI header follows 32 bytes of side information in every layout.
constexpr int32_t vbri_offset = 4 + 32;
constexpr int32_t vbri_fixed_bytes = 18;

uint32_t big_endian(const uint8_t* bytes, int count)
{
    uint32_t value = 0;
    for (int i = 0; i < count; ++i)
        value = value << 8 | bytes[i];
    return value;
}

// The side information comes between the header (and its CRC) and the Xing fields.
int32_t side_info_bytes(const MP3Header& header)
{
    if (header.version == 1)
        return header.channels == 1 ? 17 : 32;
    return header.channels == 1 ? 9 : 17;
}

bool parse_xing(const uint8_t* bytes, int32_t count, const MP3Header& header, MP3InfoFrame& info)
{
    const bool crc = (bytes[1] & 1) == 0;
    int32_t at = 4 + (crc ? 2 : 0) + side_info_bytes(header);
    if (at + 8 > count || (std::memcmp(bytes + at, "Xing", 4) != 0 && std::memcmp(bytes + at, "Info", 4) != 0))
        return false;
    const uint32_t flags = big_endian(bytes + at + 4, 4);
    at += 8;
    const int32_t fields = ((flags & 1) ? 4 : 0) + ((flags & 2) ? 4 : 0) + ((flags & 4) ? xing_toc_points : 0);
    if (!(flags & 1) || at + fields > count)
        return false;
    MP3InfoFrame parsed;
    parsed.frames = static_cast<int32_t>(std::min<uint32_t>(big_endian(bytes + at, 4), INT32_MAX));
    at += 4;
    if (flags & 2) {
        parsed.stream_bytes = static_cast<int32_t>(std::min<uint32_t>(big_endian(bytes + at, 4), INT32_MAX));
        at += 4;
    }
    if (flags & 4)
        at += xing_toc_points;
    if (flags & 8)
        at += 4;
    if (at + lame_extension_bytes <= count && std::memcmp(bytes + at, "LAME", 4) == 0)
        parsed.encoder_delay = static_cast<int32_t>(big_endian(bytes + at + lame_delay_offset, 2) >> 4);
    if (parsed.frames == 0)
        return false;
    info = parsed;
    return true;
}

bool parse_vbri(const uint8_t* bytes, int32_t count, MP3InfoFrame& info)
{
    const uint8_t* vbri = bytes + vbri_offset;
    if (vbri_offset + vbri_fixed_bytes > count || std::memcmp(vbri, "VBRI", 4) != 0)
        return false;
    MP3InfoFrame parsed;
    parsed.stream_bytes = static_cast<int32_t>(std::min<uint32_t>(big_endian(vbri + 10, 4), INT32_MAX));
    parsed.frames = static_cast<int32_t>(std::min<uint32_t>(big_endian(vbri + 14, 4), INT32_MAX));
    if (parsed.frames == 0)
        return false;
    info = parsed;
    return true;
}

} // namespace

int32_t id3v2_tag_size(const uint8_t* bytes, int32_t count)
{
    if (count < id3v2_header_bytes || std::memcmp(bytes, "ID3", 3) != 0 || bytes[3] == 0xFF || bytes[4] == 0xFF)
        return 0;
    int32_t body = 0;
    for (int i = 6; i < 10; ++i) {
        if (bytes[i] & 0x80)
            return 0; // sizes are stored seven bits a byte
        body = body << 7 | bytes[i];
    }
    return id3v2_header_bytes + body + ((bytes[5] & id3v2_footer_flag) ? id3v2_header_bytes : 0);
}

bool parse_mp3_info_frame(const uint8_t* bytes, int32_t count, const MP3Header& header, MP3InfoFrame& info)
{
    count = std::min(count, header.frame_length);
    return parse_xing(bytes, count, header, info) || parse_vbri(bytes, count, info);
}

} // namespace audio
