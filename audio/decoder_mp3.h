#pragma once

#include <memory>

#include "audio/block_decoder_pcm.h"
#include "audio/blocks.h"

namespace audio {

// Decodes one MPEG audio frame per block to 16-bit PCM with libmad. The decoder state
// lives as long as the decoder, so the layer III bit reservoir carries over from one
// frame to the next; after a seek the first frames may lack it and decode to nothing.
class DecoderMP3 : public BlockDecoderPCM<MP3Data> {
public:
    DecoderMP3();
    ~DecoderMP3() override;

protected:
    PCMData decode(const MP3Data& in) override;
    int units_for(int) override { return 1; }

private:
    struct Mad;
    std::unique_ptr<Mad> mad_;
};

} // namespace audio
