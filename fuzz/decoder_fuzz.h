#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "audio/links.h"
#include "fuzz_file.h"
#include "seek_check.h"

// What the targets of the decoders that read whole files do with fuzzed bytes: open
// them, read and pump, seek into the middle, to a position taken from the input and
// back to the start. Every block must be 16-bit PCM of whole frames with at most
// most_channels channels.
template <class Decoder> int fuzz_decoder(const uint8_t* data, size_t size, int most_channels)
{
    const auto check_block = [most_channels](const audio::PCMData& block) {
        if (!block.empty()
            && (block.bits != 16 || block.channels < 1 || block.channels > most_channels || block.sample_rate <= 0
                || block.length() % block.bytes_per_frame() != 0))
            __builtin_trap();
    };
    class CheckingConsumer : public audio::Consumer<audio::PCMData> {
    public:
        explicit CheckingConsumer(decltype(check_block) check)
            : check_(check)
        {
        }
        void on_data(const audio::PCMData& block) override { check_(block); }

    private:
        decltype(check_block) check_;
    };

    const std::u16string name = fuzz_file(data, size);
    if (name.empty())
        return 0;
    Decoder reader(name);
    CheckingConsumer consumer(check_block);
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
