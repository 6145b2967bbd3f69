#include "audio/play_position.h"

#include <algorithm>

namespace audio {

int frames_to_distance(FileReader& reader, int frames)
{
    const int rate = reader.sample_rate();
    if (rate <= 0 || frames <= 0)
        return 0;
    // Half a frame more keeps the truncating conversions from losing a whole unit to
    // rounding, and is too little to reach the next one.
    return reader.seconds_to_position((frames + 0.5) / rate);
}

int PlayPosition::read()
{
    // The reader first: a fetch between the two readings then only adds to the lag, so
    // the position is never ahead of the sound.
    const int position = reader_.position();
    return std::max(0, position - frames_to_distance(reader_, player_.queued_frames()));
}

} // namespace audio
