#pragma once

#include "audio/block_decoder_pcm.h"
#include "audio/blocks.h"

namespace audio {

// Sample frames in one Microsoft ADPCM block of block_align bytes: the two header
// samples plus one 4-bit code per channel for every remaining nibble. Below 3 (or
// negative) when the block leaves no room for coded samples.
int adpcm_samples_per_block(int channels, int block_align);

// Decodes whole Microsoft ADPCM blocks (mono or stereo, 4 bits) to 16-bit PCM with the
// format's standard predictor and adaptation tables; a block naming an unknown
// predictor stays silent.
class DecoderADPCM : public BlockDecoderPCM<ADPCMData> {
protected:
    PCMData decode(const ADPCMData& in) override;
    int units_for(int) override { return 1; }
};

} // namespace audio
