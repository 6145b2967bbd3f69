#include "audio/play_position.h"

#include <algorithm>
#include <cstdint>

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

PlayPosition::PlayPosition(FileReader& reader, PlayerPCM& player)
    : reader_(reader)
    , player_(player)
    , last_(reader.position())
{
}

int PlayPosition::read()
{
    // While a pull is under way the reader may be ahead of the count, and busy with it.
    const std::uint32_t fetches = player_.fetches();
    if (fetches % 2 != 0)
        return last_;
    const int position = reader_.position();
    const int queued = player_.queued_frames();
    // No pull began meanwhile: the reader and the count agree.
    if (player_.fetches() == fetches)
        last_ = std::max(0, position - frames_to_distance(reader_, queued));
    return last_;
}

} // namespace audio
