#pragma once

// The six input formats, each made from a 44.1 kHz stereo sox sine by its own encoder,
// for the tests that must hold in every reader's unit of position.

#include <filesystem>
#include <ostream>
#include <string>

#include "tests/audio/fixtures.h"

namespace source_formats {

struct SourceFormat {
    const char* name;
    const char* file;
    // The shell command that turns the WAV at `in` into this format at `out`.
    std::string (*encode)(const std::string& in, const std::string& out);
};

inline const SourceFormat all[] = {
    {"PcmWav", "p.wav", [](const std::string& in, const std::string& out) { return "cp " + in + " " + out; }},
    {"AdpcmWav", "a.wav",
        [](const std::string& in, const std::string& out) { return "sox " + in + " -e ms-adpcm " + out; }},
    {"GsmWav", "g.wav",
        [](const std::string& in, const std::string& out) {
            return "sox " + in + " -r 8000 -c 1 -e gsm-full-rate " + out;
        }},
    {"Mp3", "m.mp3",
        [](const std::string& in, const std::string& out) { return "lame --quiet -b 128 " + in + " " + out; }},
    {"Vorbis", "v.ogg", [](const std::string& in, const std::string& out) { return "oggenc -Q -o " + out + " " + in; }},
    {"Musepack", "c.mpc",
        [](const std::string& in, const std::string& out) { return "mpcenc --silent --overwrite " + in + " " + out; }},
};

inline void PrintTo(const SourceFormat& format, std::ostream* out) { *out << format.name; }

// The format's file of `seconds` of sound in folder.
inline std::filesystem::path make(const SourceFormat& format, const std::filesystem::path& folder, double seconds)
{
    const std::filesystem::path wav = folder / "source.wav";
    const std::filesystem::path out = folder / format.file;
    fixtures::make_sine(wav, "-r 44100 -c 2 -b 16", seconds);
    fixtures::run(format.encode(fixtures::quoted(wav), fixtures::quoted(out)));
    return out;
}

} // namespace source_formats
