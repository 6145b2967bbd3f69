#pragma once

#include <cstdint>

#include "audio/mp3_header.h"

// What sits around the frames of an MPEG audio file: ID3v2 tags before them, and the
// information frame that VBR encoders put first (Xing, Info or VBRI).
namespace audio {

// Bytes taken by the ID3v2 tag at bytes (header, body and footer), 0 when there is none.
int32_t id3v2_tag_size(const uint8_t* bytes, int32_t count);

// The stream's totals, read from its information frame. Its table of contents is not
// used: it places a time only to within 1/256 of the file.
struct MP3InfoFrame {
    int32_t frames = 0;         // audio frames, the information frame not counted
    int32_t stream_bytes = 0;   // information frame included; 0 when not given
    int32_t encoder_delay = -1; // samples the encoder put before the sound; -1 unknown
};

// Reads the information frame at bytes, whose header is header; false when the frame
// is an ordinary audio frame or its totals are unusable.
bool parse_mp3_info_frame(const uint8_t* bytes, int32_t count, const MP3Header& header, MP3InfoFrame& info);

} // namespace audio
