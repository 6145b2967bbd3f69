#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "audio/file_reader.h"

// The seek every reader's fuzz target makes to a position taken from its input: the
// last four bytes, little-endian, any value, so that seeks land before the start,
// inside, and far past the end. A seek must end at once within [0, length], a seek
// to or past the end must leave nothing to read, and a pump after it must return.
// The time-out given to the fuzzer (-timeout=N) turns a seek or pump that spins into
// a finding.
inline int fuzz_position(const uint8_t* data, size_t size)
{
    uint32_t value = 0;
    if (size >= 4)
        std::memcpy(&value, data + size - 4, 4);
    return static_cast<int>(value);
}

inline void check_seek(audio::FileReader& reader, int position)
{
    const int length = reader.length();
    reader.seek(position);
    const int landed = reader.position();
    if (landed < 0 || landed > length)
        __builtin_trap();
    if (position >= length && !reader.is_eof())
        __builtin_trap();
    reader.pump(5000);
}
