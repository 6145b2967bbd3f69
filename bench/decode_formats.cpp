// links: audio liba os
// Decoding speed per input format, as a multiple of real time: each file is made with
// the format's encoder (sox, oggenc, mpcenc must be on PATH), then decoded to the end
// through its play chain's PCM provider.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "audio/decoder_adpcm.h"
#include "audio/decoder_gsm.h"
#include "audio/decoder_mpc.h"
#include "audio/decoder_vorbis.h"
#include "audio/file_reader_wav_adpcm.h"
#include "audio/file_reader_wav_gsm.h"
#include "audio/play_chain.h"
#include "liba/text.h"

namespace {

constexpr int seconds = 60;

bool run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

// Decodes the whole file through the chain and answers its audio seconds per second.
template <class Chain>
double speed(const std::string& path)
{
    const std::u16string wide = liba::to_wide(path);
    auto reader = std::make_unique<typename Chain::Reader>(wide);
    if (!reader->is_open())
        return 0;
    Chain chain(std::move(reader), wide, u"bench");
    audio::Provider<audio::PCMData>& pcm = *chain.pcm_provider();
    const auto start = std::chrono::steady_clock::now();
    int64_t frames = 0;
    int rate = 0;
    for (audio::PCMData block = pcm.read(4096); !block.empty(); block = pcm.read(4096)) {
        frames += block.frames();
        rate = block.sample_rate;
    }
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return rate == 0 || elapsed <= 0 ? 0 : double(frames) / rate / elapsed;
}

} // namespace

int main()
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("melodrift-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::string dir = folder.string() + "/";
    const std::string source = dir + "source.wav";
    if (!run("sox -n -r 44100 -c 2 -b 16 " + source + " synth " + std::to_string(seconds) +
             " sine 300-2000 sine 500 vol 0.5")) {
        std::printf("sox is needed to make the files\n");
        return 1;
    }

    struct Row {
        const char* name;
        std::string file;
        std::string make;
        double (*measure)(const std::string&);
    };
    const Row rows[] = {
        {"ADPCM stereo 44.1 kHz", dir + "adpcm.wav", "sox " + source + " -e ms-adpcm " + dir + "adpcm.wav",
         speed<audio::PlayChainReaderDecoder<audio::FileReaderWAVADPCM, audio::DecoderADPCM>>},
        {"GSM 6.10 8 kHz", dir + "gsm.wav", "sox " + source + " -r 8000 -c 1 -e gsm-full-rate " + dir + "gsm.wav",
         speed<audio::PlayChainReaderDecoder<audio::FileReaderWAVGSM, audio::DecoderGSM>>},
        {"Vorbis stereo 44.1 kHz", dir + "v.ogg", "oggenc -Q -o " + dir + "v.ogg " + source,
         speed<audio::PlayChainReaderOnly<audio::DecoderVorbis>>},
        {"Musepack SV8 stereo 44.1 kHz", dir + "m.mpc", "mpcenc --silent --overwrite " + source + " " + dir + "m.mpc",
         speed<audio::PlayChainReaderOnly<audio::DecoderMPC>>},
    };
    std::printf("decoding speed, %d s of audio per format, as a multiple of real time\n", seconds);
    for (const Row& row : rows) {
        if (!run(row.make)) {
            std::printf("%-30s (encoder missing)\n", row.name);
            continue;
        }
        std::printf("%-30s %8.1fx\n", row.name, row.measure(row.file));
    }
    std::filesystem::remove_all(folder);
    return 0;
}
