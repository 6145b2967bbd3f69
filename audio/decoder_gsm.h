#pragma once

#include "audio/block_decoder_pcm.h"
#include "audio/blocks.h"

struct gsm_state;

namespace audio {

// Decodes 65-byte GSM 6.10 blocks in the WAV layout to 8000 Hz mono 16-bit PCM with
// libgsm. Each block holds two frames packed differently (33 bytes, then 32), and the
// library alternates between the two packings, so every block is decoded as a pair
// of calls.
class DecoderGSM : public BlockDecoderPCM<GSMData> {
public:
    DecoderGSM();
    ~DecoderGSM() override;

protected:
    PCMData decode(const GSMData& in) override;
    int units_for(int frames) override;

private:
    gsm_state* gsm_;
};

} // namespace audio
