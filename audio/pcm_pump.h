#pragma once

#include "audio/blocks.h"
#include "audio/links.h"

namespace audio {

// Pumps n sample frames out of a reader that decodes to PCM itself: reads and pushes
// until n frames went out (true) or the data ran out (false).
inline bool pump_pcm_frames(Provider<PCMData>& reader, int n)
{
    while (n > 0) {
        const PCMData block = reader.read(n);
        if (block.frames() == 0)
            return false;
        reader.push(block);
        n -= block.frames();
    }
    return true;
}

} // namespace audio
