// links: audio liba os
// Opens arbitrary bytes as a GSM 6.10 WAV file and decodes all of it, pulling and
// pumping. When the first byte is odd, the rest is wrapped in a well-formed header
// (its sample rate and claimed sizes taken from the input), so that libgsm sees many blocks.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "audio/decoder_gsm.h"
#include "audio/file_reader_wav_gsm.h"
#include "block_wav_fuzz.h"

namespace {

void put_id(std::vector<uint8_t>& out, const char* id) { out.insert(out.end(), id, id + 4); }

std::vector<uint8_t> wrapped(const uint8_t* data, size_t size)
{
    if (size < 4)
        return {};
    const uint32_t rate = data[0] & 1 ? 8000 : data[0] * 1000u;
    const uint32_t fact = (data[1] | data[2] << 8) * 8u;
    std::vector<uint8_t> out;
    put_id(out, "RIFF");
    put(out, 0, 4);
    put_id(out, "WAVE");
    put_id(out, "fmt ");
    put(out, 20, 4);
    put(out, 49, 2);
    put(out, 1, 2);
    put(out, rate, 4);
    put(out, 1625, 4);
    put(out, 65, 2);
    put(out, 0, 2);
    put(out, 2, 2);
    put(out, 320, 2);
    put_id(out, "fact");
    put(out, 4, 4);
    put(out, fact, 4);
    put_id(out, "data");
    put(out, data[3] & 1 ? 0xFFFFFFFFu : static_cast<uint32_t>(size - 4), 4);
    out.insert(out.end(), data + 4, data + size);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzz_block_reader<audio::FileReaderWAVGSM, audio::DecoderGSM>(
        data, size, wrapped, [](audio::FileReaderWAVGSM&) { return 320; });
}
