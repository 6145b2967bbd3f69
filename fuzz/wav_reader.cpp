// links: audio
// Opens fuzzed bytes as a WAV file, seeks (also to a position taken from the input)
// and pumps them through FileReaderWAVPCM.

#include <cstddef>
#include <cstdint>
#include <string>

#include "audio/file_reader_wav_pcm.h"
#include "fuzz_file.h"
#include "seek_check.h"

namespace {

// Whole frames of a consistent format, and never more than the reader has.
class CheckingConsumer : public audio::Consumer<audio::PCMData> {
public:
    void on_data(const audio::PCMData& block) override
    {
        if (block.empty() || block.bytes_per_frame() <= 0 || block.length() % block.bytes_per_frame() != 0)
            __builtin_trap();
        delivered += block.frames();
    }
    int64_t delivered = 0; // sample frames
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::u16string name = fuzz_file(data, size);
    if (name.empty())
        return 0;

    audio::FileReaderWAVPCM reader(name);
    CheckingConsumer consumer;
    reader.connect(&consumer);
    if (!reader.is_open())
        return 0;
    const int length = reader.length();
    if (length < 0 || length > static_cast<int>(size))
        __builtin_trap();
    reader.pump(5000);
    reader.seek(length / 3);
    reader.pump_seconds(0.01);
    reader.seek(reader.seconds_to_position(reader.position_to_seconds(length) / 2));
    reader.read(7);
    while (!reader.is_eof() && reader.pump(5000)) {
    }
    reader.seek(-1);
    reader.pump(length);
    // The pumps above ask for 5000 bytes, at most two thirds of the data (a hundredth
    // of a second at an absurd sample rate), half of it and all of it.
    if (consumer.delivered * reader.wav_info().block_align > 3 * int64_t{length} + 5000)
        __builtin_trap();
    check_seek(reader, fuzz_position(data, size));
    return 0;
}
