#include "platform/sound/audio_output.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace platform {

namespace {

std::mutex choice_mutex;
std::optional<AudioOutput> choice;

AudioOutput from_environment()
{
    const char* value = std::getenv("MELODRIFT_AUDIO");
    if (!value || !*value)
        return {};
    if (auto output = parse_audio_output(value))
        return *output;
    std::fprintf(stderr, "%s: MELODRIFT_AUDIO=%s names no sound output (sdl, null or wav:PATH); using sdl\n",
        program_invocation_short_name, value);
    return {};
}

} // namespace

std::optional<AudioOutput> parse_audio_output(std::string_view text)
{
    AudioOutput output;
    if (text == "sdl") {
        output.kind = AudioOutput::Kind::sdl;
    } else if (text == "null") {
        output.kind = AudioOutput::Kind::null;
    } else if (text.starts_with("wav:") && text.size() > 4) {
        output.kind = AudioOutput::Kind::wav;
        output.wav_path = text.substr(4);
    } else {
        return std::nullopt;
    }
    return output;
}

void choose_audio_output(const AudioOutput& output)
{
    std::lock_guard lock(choice_mutex);
    choice = output;
}

AudioOutput chosen_audio_output()
{
    std::lock_guard lock(choice_mutex);
    if (!choice)
        choice = from_environment();
    return *choice;
}

} // namespace platform
