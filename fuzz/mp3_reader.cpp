// links: audio
// Opens fuzzed bytes as an MP3 file and pumps and pulls them through FileReaderMP3 and
// DecoderMP3, the way a play chain links them, seeking also to a position taken from
// the input.

#include <cstddef>
#include <cstdint>
#include <string>

#include "audio/decoder_mp3.h"
#include "audio/file_reader_mp3.h"
#include "fuzz_file.h"
#include "seek_check.h"

namespace {

class CheckingConsumer : public audio::Consumer<audio::PCMData> {
public:
    void on_data(const audio::PCMData& block) override
    {
        if (!block.empty() && (block.bits != 16 || block.channels < 1 || block.channels > 2 ||
                               block.length() % block.bytes_per_frame() != 0))
            __builtin_trap();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::u16string name = fuzz_file(data, size);
    if (name.empty())
        return 0;

    audio::FileReaderMP3 reader(name);
    audio::DecoderMP3 decoder;
    reader.connect(&decoder);
    CheckingConsumer consumer;
    decoder.connect(&consumer);
    if (!reader.is_open())
        return 0;
    const int length = reader.length();
    reader.seek(reader.seconds_to_position(0.01));
    reader.pump(length / 4 + 1);
    reader.seek(length / 2);
    while (!reader.is_eof()) {
        const int before = reader.position();
        reader.pump(5000);
        if (reader.position() <= before)
            break;
    }
    reader.seek(0);
    reader.pump_seconds(0.05);
    check_seek(reader, fuzz_position(data, size));

    // Pull mode: the consumer asks the decoder, which pulls frames from the reader.
    reader.seek(0);
    for (int i = 0; i < 64 && !consumer.pull(1000).empty(); ++i) {
    }
    return 0;
}
