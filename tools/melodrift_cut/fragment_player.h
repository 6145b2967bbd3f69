#pragma once

#include <functional>
#include <string_view>

enum class PlayOutcome { played, stopped, not_readable };

// Plays the fragment [start, finish) seconds of the source through the PCM player,
// from the start to the finish or the end of the data, whichever comes first, or
// until should_stop answers true. While it plays, a line on standard error (when that
// is a terminal) shows where the sound is, "m:ss.s / m:ss.s" of the fragment.
PlayOutcome play_fragment(std::u16string_view source, double start, double finish,
    const std::function<bool()>& should_stop);
