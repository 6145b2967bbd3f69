#pragma once

#include <cstdint>

#include "audio/wav_info.h"

namespace audio {

// The header of a GSM 6.10 WAV file (format tag 49) in the WAV layout: 8000 Hz mono,
// 65-byte blocks that each hold two GSM frames, 320 samples.
class WAVInfoGSM : public WAVInfo {
public:
    bool read_extension(os::File& file) override;
    bool write_extension(os::File& file) override;

    uint16_t samples_per_block = 1;
    uint32_t fact_samples = 0;
};

} // namespace audio
