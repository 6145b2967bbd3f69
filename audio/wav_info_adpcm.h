#pragma once

#include <cstdint>
#include <vector>

#include "audio/wav_info.h"

namespace audio {

// The header of a Microsoft ADPCM WAV file (format tag 2): 4-bit mono or stereo in
// blocks that each hold samples_per_block sample frames.
class WAVInfoADPCM : public WAVInfo {
public:
    struct CoefficientPair {
        int32_t first = 0;
        int32_t second = 0;
    };

    // Accepts mono or stereo 4-bit data with the standard seven predictor pairs, a
    // "fact" chunk, and a samples-per-block value that matches the block size.
    bool read_extension(os::File& file) override;
    bool write_extension(os::File& file) override;

    uint16_t samples_per_block = 1;
    std::vector<CoefficientPair> coefficients;
    uint32_t fact_samples = 0;
};

} // namespace audio
