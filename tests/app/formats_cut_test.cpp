#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "audio/mp3_header.h"
#include "audio/play_chain.h"
#include "tests/audio/formats_fixtures.h"

namespace {

using formats_test::Scratch;

// Each input format, made from a 2-second 44.1 kHz stereo source at half of full
// scale, and the bit rate its ring tone gets.
struct Case {
    const char* codec;
    const char* tool;
    std::string (*make)(const std::string& in, const std::string& out);
    const char* file;
    int kbits;
};

const Case cases[] = {
    {"ADPCM", "sox", [](const std::string& in, const std::string& out) { return "sox " + in + " -e ms-adpcm " + out; },
     "a.wav", 64},
    {"GSM", "sox",
     [](const std::string& in, const std::string& out) {
         return "sox " + in + " -r 8000 -c 1 -e gsm-full-rate " + out;
     },
     "g.wav", 32},
    {"Vorbis", "oggenc", [](const std::string& in, const std::string& out) { return "oggenc -Q -o " + out + " " + in; },
     "v.ogg", 64},
    {"MPC", "mpcenc",
     [](const std::string& in, const std::string& out) { return "mpcenc --silent --overwrite " + in + " " + out; },
     "m.mpc", 64},
};

int run_cut(const std::string& arguments)
{
    const std::string program = std::string(MELODRIFT_BIN_DIR) + "/melodrift-cut";
    const int status = std::system((program + " " + arguments + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(FormatsCut, EveryFormatBecomesAMonoRingToneAtThreeQuartersOfFullScale)
{
    Scratch scratch;
    ASSERT_TRUE(formats_test::make_source(scratch.path("source.wav"), 44100, 2));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.codec);
        if (!formats_test::have_tool(c.tool)) {
            ADD_FAILURE() << c.tool << " is not installed";
            continue;
        }
        const std::string source = scratch.path(c.file);
        const std::string target = scratch.path(std::string(c.codec) + ".mp3");
        ASSERT_TRUE(formats_test::run(c.make(scratch.path("source.wav"), source)));
        ASSERT_EQ(run_cut(source + " --start 0.25 --finish 1.75 -o " + target), 0);

        // The ring tone starts with its first frame: no tag, no information frame.
        const std::vector<uint8_t> bytes = formats_test::read_bytes(target);
        audio::MP3Header header;
        ASSERT_GE(bytes.size(), 4u);
        ASSERT_TRUE(audio::parse_mp3_header(bytes.data(), header));
        EXPECT_EQ(header.channels, 1);
        EXPECT_EQ(header.bit_rate, c.kbits);

        const auto chain = audio::open_play_chain(liba::to_wide(target));
        ASSERT_NE(chain, nullptr);
        EXPECT_EQ(chain->codec_name(), u"mp3");
        const std::vector<int16_t> samples = formats_test::pull_all(*chain->pcm_provider());
        ASSERT_FALSE(samples.empty());
        // The encoder's delay and padding add up to two frames, which at 8000 Hz is 0.15 s.
        EXPECT_NEAR(double(samples.size()) / chain->file_reader()->sample_rate(), 1.5, 0.2);
        int peak = 0;
        for (int16_t s : samples)
            peak = std::max(peak, std::abs(int(s)));
        EXPECT_NEAR(peak / 32768.0, 0.75, 0.06);
    }
}

} // namespace
