// links: audio
// Opens fuzzed bytes as an Ogg Vorbis file and decodes them through DecoderVorbis,
// pulling and pumping, and seeks into the middle and to a position taken from the
// input. Every block must be 16-bit PCM of whole frames.

#include <cstddef>
#include <cstdint>
#include <string>

#include "audio/decoder_vorbis.h"
#include "fuzz_file.h"
#include "seek_check.h"

namespace {

void check_block(const audio::PCMData& block)
{
    if (!block.empty() &&
        (block.bits != 16 || block.channels < 1 || block.sample_rate <= 0 ||
            block.length() % block.bytes_per_frame() != 0))
        __builtin_trap();
}

class CheckingConsumer : public audio::Consumer<audio::PCMData> {
public:
    void on_data(const audio::PCMData& block) override { check_block(block); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::u16string name = fuzz_file(data, size);
    if (name.empty())
        return 0;

    audio::DecoderVorbis reader(name);
    CheckingConsumer consumer;
    reader.connect(&consumer);
    if (!reader.is_open())
        return 0;
    const int length = reader.length();
    for (int i = 0; i < 16; ++i) {
        const audio::PCMData block = reader.read(4096);
        check_block(block);
        if (block.empty())
            break;
    }
    reader.seek(reader.seconds_to_position(reader.position_to_seconds(length) / 2));
    reader.pump(5000);
    check_seek(reader, fuzz_position(data, size));
    reader.seek(0);
    reader.pump_seconds(0.05);
    return 0;
}
