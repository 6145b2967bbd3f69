#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "audio/blocks.h"
#include "audio/links.h"
#include "fuzz_file.h"
#include "seek_check.h"

// Shared body of the fuzz targets for WAV files of coded blocks.

inline void put(std::vector<uint8_t>& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// Opens the input as a file of the reader's kind (an odd first byte asks for the rest
// to be wrapped in a well-formed header by wrap) and decodes all of it, pulling and
// then pumping, and seeks to a position taken from the input. Every whole block the reader hands out must decode to a full block:
// samples_per_block(reader) frames.
template <class Reader, class Decoder, class Wrap, class SamplesPerBlock>
int fuzz_block_reader(const uint8_t* data, size_t size, Wrap wrap, SamplesPerBlock samples_per_block)
{
    if (size == 0)
        return 0;
    const std::vector<uint8_t> file =
        data[0] & 1 ? wrap(data + 1, size - 1) : std::vector<uint8_t>(data + 1, data + size);
    const std::u16string path = fuzz_file(file.data(), file.size());
    if (path.empty())
        return 0;

    Reader reader(path);
    Decoder decoder;
    reader.connect(&decoder);
    const int64_t expected = int64_t{reader.length()} * samples_per_block(reader);
    int64_t frames = 0;
    for (audio::PCMData block = decoder.read(333); !block.empty(); block = decoder.read(333))
        frames += block.frames();
    if (reader.is_open() && frames != expected)
        __builtin_trap();

    reader.seek(reader.length() / 2);
    audio::Consumer<audio::PCMData> sink;
    decoder.connect(&sink);
    reader.pump(reader.length());
    check_seek(reader, fuzz_position(data, size));
    return 0;
}
