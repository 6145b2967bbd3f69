#pragma once

#include <optional>
#include <string>
#include <string_view>

// Which sound output the waveform devices use, chosen once for the process with
// --audio or MELODRIFT_AUDIO: "sdl" (the default; the real sound device), "null"
// (silent, taken in real time) or "wav:PATH" (as null, and what is played is also
// recorded to PATH).
namespace platform {

struct AudioOutput {
    enum class Kind { sdl, null, wav };

    Kind kind = Kind::sdl;
    std::string wav_path;
    // null and wav: how many times faster than real time sound is taken (tests).
    double speed = 1.0;
};

// Nothing for text that names no output.
std::optional<AudioOutput> parse_audio_output(std::string_view text);

// The output for every device opened from now on.
void choose_audio_output(const AudioOutput& output);

// The chosen output; until one is chosen, the one MELODRIFT_AUDIO names (a value
// that names none is reported once on standard error), else SDL.
AudioOutput chosen_audio_output();

} // namespace platform
