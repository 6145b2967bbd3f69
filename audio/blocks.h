#pragma once

#include <cstdint>

#include "liba/byte_block.h"

// The blocks audio travels in. Each is a byte view with its format; an empty block
// means that no more data is available.
namespace audio {

// Interleaved little-endian PCM frames: 8-bit samples unsigned, 16-bit signed.
struct PCMData : liba::ByteBlock {
    PCMData() = default;
    PCMData(const liba::ByteBlock& bytes, int32_t channels, int32_t bits, int32_t sample_rate)
        : liba::ByteBlock(bytes), channels(channels), bits(bits), sample_rate(sample_rate)
    {
    }

    int32_t bytes_per_sample() const { return (bits + 7) / 8; }
    int32_t bytes_per_frame() const { return channels * bytes_per_sample(); }
    int32_t frames() const
    {
        const int32_t frame = bytes_per_frame();
        return length() == 0 || frame <= 0 ? 0 : length() / frame;
    }
    // A view of frames [from, from + count), keeping the format.
    PCMData sub_frames(int32_t from, int32_t count) const
    {
        return PCMData(sub(from * bytes_per_frame(), count * bytes_per_frame()), channels, bits, sample_rate);
    }
    bool same_format(const PCMData& other) const
    {
        return channels == other.channels && bits == other.bits && sample_rate == other.sample_rate;
    }

    int32_t channels = 0;
    int32_t bits = 0;
    int32_t sample_rate = 0;
};

// MPEG audio frame bytes; frame_length is the length of the frame that starts the block.
// A warm-up frame comes before the point a seek went to: it is decoded only for what
// the decoder keeps from it for the next frames, and its sound is not wanted.
struct MP3Data : liba::ByteBlock {
    MP3Data() = default;
    MP3Data(const liba::ByteBlock& bytes, int32_t frame_length, bool warm_up = false)
        : liba::ByteBlock(bytes), frame_length(frame_length), warm_up(warm_up)
    {
    }

    int32_t frame_length = 0;
    bool warm_up = false;
};

// Whole Microsoft ADPCM blocks.
struct ADPCMData : liba::ByteBlock {
    ADPCMData() = default;
    ADPCMData(const liba::ByteBlock& bytes, int32_t channels, int32_t bits, int32_t sample_rate, int32_t block_align)
        : liba::ByteBlock(bytes), channels(channels), bits(bits), sample_rate(sample_rate), block_align(block_align)
    {
    }

    int32_t channels = 0;
    int32_t bits = 0;
    int32_t sample_rate = 0;
    int32_t block_align = 0;
};

// Whole 65-byte GSM 6.10 blocks in the WAV layout.
struct GSMData : liba::ByteBlock {
    GSMData() = default;
    explicit GSMData(const liba::ByteBlock& bytes) : liba::ByteBlock(bytes) {}
};

} // namespace audio
