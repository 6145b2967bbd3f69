// links: audio
// Opens fuzzed bytes as a Musepack file and decodes them through DecoderMPC, pulling
// and pumping, and seeks into the middle and to a position taken from the input.
// Every block must be 16-bit PCM of whole frames, mono or stereo.

#include "audio/decoder_mpc.h"
#include "decoder_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzz_decoder<audio::DecoderMPC>(data, size, 2);
}
