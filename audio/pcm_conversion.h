#pragma once

#include <cstdint>
#include <vector>

#include "liba/byte_block.h"

namespace audio {

class WAVInfoPCM;

// Turns the sample frames of a PCM WAV file into what the rest of the engine takes:
// 8- or 16-bit mono or stereo. Other integer sizes and floating-point samples become
// 16-bit (floating point clipped to full scale); more than two channels are mixed down
// to stereo by their speaker positions: the speakers on the left into the left
// channel, those on the right into the right one, the others (centre, bass, top
// centre) into both, each channel the average of its speakers.
class PCMConversion {
public:
    PCMConversion() = default;
    explicit PCMConversion(const WAVInfoPCM& info);

    // False when the file's frames already are what the engine takes.
    bool is_needed() const { return needed_; }
    int channels() const { return out_channels_; }
    int bits() const { return out_bits_; }

    // count whole frames of the file's layout, converted.
    liba::ByteBlock convert(const uint8_t* frames, int32_t count) const;

private:
    enum class Kind { unsigned8, signed16, signed24, signed32, float32, float64 };
    enum class Side { left, right, both };

    int32_t sample(const uint8_t* bytes) const;

    bool needed_ = false;
    Kind kind_ = Kind::signed16;
    int in_channels_ = 0;
    int sample_bytes_ = 0;
    int out_channels_ = 0;
    int out_bits_ = 0;
    // Where each channel of the file goes when mixing down; empty when not mixing.
    std::vector<Side> sides_;
    int left_count_ = 0;
    int right_count_ = 0;
};

} // namespace audio
