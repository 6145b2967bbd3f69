// links: audio liba os
// Opens arbitrary bytes as a Microsoft ADPCM WAV file and decodes all of it, pulling
// and pumping. When the first byte is odd, the rest is wrapped in a well-formed header
// whose fields come from the input, so that the decoder sees many block shapes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "audio/decoder_adpcm.h"
#include "audio/file_reader_wav_adpcm.h"
#include "block_wav_fuzz.h"

namespace {

std::vector<uint8_t> wrapped(const uint8_t* data, size_t size)
{
    if (size < 7)
        return {};
    const int channels = 1 + (data[0] & 1);
    const uint32_t align = data[1] | data[2] << 8;
    const uint32_t samples = data[3] | data[4] << 8;
    const uint32_t fact = (data[5] | data[6] << 8) * 16u;
    std::vector<uint8_t> out;
    const char* ids[] = {"RIFF", "WAVE", "fmt "};
    out.insert(out.end(), ids[0], ids[0] + 4);
    put(out, 0, 4);
    out.insert(out.end(), ids[1], ids[1] + 4);
    out.insert(out.end(), ids[2], ids[2] + 4);
    put(out, 50, 4);
    put(out, 2, 2);
    put(out, channels, 2);
    put(out, 8000, 4);
    put(out, 4096, 4);
    put(out, align, 2);
    put(out, 4, 2);
    put(out, 32, 2);
    put(out, samples, 2);
    put(out, 7, 2);
    for (int i = 0; i < 7; ++i)
        put(out, 256, 4);
    out.insert(out.end(), {'f', 'a', 'c', 't'});
    put(out, 4, 4);
    put(out, fact, 4);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    put(out, static_cast<uint32_t>(size - 7), 4);
    out.insert(out.end(), data + 7, data + size);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzz_block_reader<audio::FileReaderWAVADPCM, audio::DecoderADPCM>(
        data, size, wrapped, [](audio::FileReaderWAVADPCM& reader) {
            return static_cast<const audio::WAVInfoADPCM&>(reader.wav_info()).samples_per_block;
        });
}
