#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "audio/play_chain.h"
#include "liba/text.h"
#include "tests/audio/formats_fixtures.h"

namespace {

using formats_test::Scratch;

const std::string sv7_click = MELODRIFT_SOURCE_DIR "/../shared/fixtures/sv7-click.mpc";

// Each format made from a 44.1 kHz stereo source, then renamed to hide it.
struct Case {
    const char* codec;
    const char* tool;
    const char* make;  // arguments after the tool; {in} and {out} are replaced
    const char* extension;  // of the encoder's output, which some encoders insist on
    int channels;
    int sample_rate;
};

const Case cases[] = {
    {"ADPCM", "sox", "{in} -e ms-adpcm {out}", ".wav", 2, 44100},
    {"GSM", "sox", "{in} -r 8000 -c 1 -e gsm-full-rate {out}", ".wav", 1, 8000},
    {"Vorbis", "oggenc", "-Q -o {out} {in}", ".ogg", 2, 44100},
    {"MPC", "mpcenc", "--silent --overwrite {in} {out}", ".mpc", 2, 44100},
};

std::string expand(std::string text, const std::string& in, const std::string& out)
{
    text.replace(text.find("{in}"), 4, in);
    text.replace(text.find("{out}"), 5, out);
    return text;
}

TEST(FormatsDispatch, EachFormatOpensByItsContents)
{
    Scratch scratch;
    ASSERT_TRUE(formats_test::make_source(scratch.path("source.wav"), 44100, 2, 1));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.codec);
        if (!formats_test::have_tool(c.tool)) {
            ADD_FAILURE() << c.tool << " is not installed";
            continue;
        }
        const std::string made = scratch.path(std::string("made") + c.extension);
        ASSERT_TRUE(formats_test::run(std::string(c.tool) + " " + expand(c.make, scratch.path("source.wav"), made)));
        const std::string file = scratch.path(std::string("file-") + c.codec + ".mp3");
        std::filesystem::rename(made, file);
        const auto chain = audio::open_play_chain(liba::to_wide(file));
        ASSERT_NE(chain, nullptr);
        EXPECT_EQ(chain->codec_name(), liba::to_wide(c.codec));
        audio::FileReader& reader = *chain->file_reader();
        EXPECT_EQ(reader.channels(), c.channels);
        EXPECT_EQ(reader.sample_rate(), c.sample_rate);
        EXPECT_NEAR(reader.length_seconds(), 1.0, 0.05);
        const audio::PCMData first = chain->pcm_provider()->read(100);
        EXPECT_EQ(first.frames(), 100);
        EXPECT_EQ(first.channels, c.channels);
        EXPECT_EQ(first.bits, 16);
    }
}

TEST(FormatsDispatch, StreamVersion7MusepackOpensAsMPC)
{
    if (!std::filesystem::exists(sv7_click))
        GTEST_SKIP() << "missing " << sv7_click;
    const auto chain = audio::open_play_chain(liba::to_wide(sv7_click));
    ASSERT_NE(chain, nullptr);
    EXPECT_EQ(chain->codec_name(), u"MPC");
    EXPECT_EQ(chain->file_reader()->length(), 2717);
}

TEST(FormatsDispatch, TextFileOpensAsNone)
{
    Scratch scratch;
    const std::string text = "Not a sound file, just words.\n";
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 200; ++i)
        bytes.insert(bytes.end(), text.begin(), text.end());
    formats_test::write_bytes(scratch.path("words.ogg"), bytes);
    EXPECT_EQ(audio::open_play_chain(scratch.wide("words.ogg")), nullptr);
}

} // namespace
