#pragma once

#include <cstdint>
#include <functional>
#include <span>

enum class QelInflateResult {
    finished,           // the final block ended
    stopped,            // the sink asked to stop
    bad_header,         // not a deflate stream with a window of at most 32 KiB
    preset_dictionary,  // the stream needs a dictionary this decoder does not have
    bad_data,           // invalid block type, code, length or distance
    truncated,          // the input ended inside the stream
};

// Receives the inflated bytes in runs, in stream order; answers false to stop.
using QelInflateSink = std::function<bool(std::span<const uint8_t>)>;

// Inflates one zlib stream (a two-byte header, then deflate blocks of all three
// kinds). The trailing checksum is not read. Hostile input yields an error result;
// reads and writes stay inside the input and the window.
QelInflateResult qel_inflate(std::span<const uint8_t> stream, const QelInflateSink& sink);
