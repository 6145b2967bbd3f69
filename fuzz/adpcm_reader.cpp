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
#include "fuzz_file.h"

namespace {

void put(std::vector<uint8_t>& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

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
    if (size == 0)
        return 0;
    const std::vector<uint8_t> file =
        data[0] & 1 ? wrapped(data + 1, size - 1) : std::vector<uint8_t>(data + 1, data + size);
    const std::u16string path = fuzz_file(file.data(), file.size());
    if (path.empty())
        return 0;

    audio::FileReaderWAVADPCM reader(path);
    audio::DecoderADPCM decoder;
    reader.connect(&decoder);
    const auto& info = static_cast<const audio::WAVInfoADPCM&>(reader.wav_info());
    const int64_t expected = int64_t{reader.length()} * info.samples_per_block;
    int64_t frames = 0;
    for (audio::PCMData block = decoder.read(333); !block.empty(); block = decoder.read(333))
        frames += block.frames();
    // Every whole block the reader hands out decodes to a full block of frames.
    if (reader.is_open() && frames != expected)
        __builtin_trap();

    reader.seek(reader.length() / 2);
    audio::Consumer<audio::PCMData> sink;
    decoder.connect(&sink);
    reader.pump(reader.length());
    return 0;
}
