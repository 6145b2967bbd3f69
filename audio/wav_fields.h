#pragma once

#include <cstdint>

#include "os/file.h"

// Little-endian fields of the format-specific part of a WAV header, read and written
// with a result: a short read or write is a failure, never a zero value.
namespace audio::wav_fields {

inline bool read_u16(os::File& file, uint16_t& value)
{
    uint8_t bytes[2];
    if (file.read(bytes, 2) != 2)
        return false;
    value = static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
    return true;
}

inline bool read_i16(os::File& file, int32_t& value)
{
    uint16_t bits = 0;
    if (!read_u16(file, bits))
        return false;
    value = static_cast<int16_t>(bits);
    return true;
}

inline bool read_u32(os::File& file, uint32_t& value)
{
    uint8_t bytes[4];
    if (file.read(bytes, 4) != 4)
        return false;
    value = uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 24;
    return true;
}

inline bool write_u16(os::File& file, uint32_t value)
{
    const uint8_t bytes[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
    return file.write(bytes, 2) == 2;
}

inline bool write_u32(os::File& file, uint32_t value)
{
    const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                              static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    return file.write(bytes, 4) == 4;
}

inline bool write_id(os::File& file, const char (&id)[5]) { return file.write(id, 4) == 4; }

// Moves past whatever the fmt chunk holds beyond the fields already read, so that a
// chunk search that follows starts at the next chunk. The fmt contents start at byte
// 20 of every WAV file ("RIFF", size, "WAVE", "fmt ", size).
inline bool skip_rest_of_fmt(os::File& file, uint32_t fmt_size)
{
    const int64_t fmt_end = 20 + int64_t{fmt_size} + (fmt_size & 1);
    if (fmt_end <= file.tell())
        return true;
    return fmt_end <= INT32_MAX && file.seek(static_cast<int32_t>(fmt_end));
}

} // namespace audio::wav_fields
