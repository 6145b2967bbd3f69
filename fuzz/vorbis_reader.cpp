// links: audio
// Opens fuzzed bytes as an Ogg Vorbis file and decodes them through DecoderVorbis,
// pulling and pumping, and seeks into the middle and to a position taken from the
// input. Every block must be 16-bit PCM of whole frames.

#include "audio/decoder_vorbis.h"
#include "decoder_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Vorbis allows up to 255 channels in a stream.
    return fuzz_decoder<audio::DecoderVorbis>(data, size, 255);
}
