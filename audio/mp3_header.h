#pragma once

#include <cstdint>

namespace audio {

// One MPEG audio frame header, as the reader and the decoder both need it.
struct MP3Header {
    int32_t version = 0; // 1 = MPEG-1, 2 = MPEG-2, 3 = MPEG-2.5
    int32_t layer = 0;
    int32_t channels = 0;
    int32_t sample_rate = 0;       // Hz
    int32_t bit_rate = 0;          // kilobits per second
    int32_t frame_length = 0;      // bytes, padding included
    int32_t samples_per_frame = 0; // per channel
};

// Parses the 4 header bytes at bytes. False for anything but a valid frame header;
// free-format frames are refused.
bool parse_mp3_header(const uint8_t* bytes, MP3Header& header);

// Can a frame with header candidate continue a stream that began with reference? Bit
// rate and frame length may change from frame to frame.
bool matches(const MP3Header& candidate, const MP3Header& reference);

} // namespace audio
