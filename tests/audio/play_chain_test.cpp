#include <gtest/gtest.h>

#include "audio/play_chain.h"
#include "audio/play_chain_mp3.h"
#include "tests/audio/fixtures.h"

using namespace fixtures;

namespace {

// A 128-byte ID3v1 tag with the given 30-byte title field.
std::string id3v1(const std::string& title_field)
{
    std::string tag = "TAG" + title_field;
    tag.resize(128, '\0');
    return tag;
}

std::string two_frames()
{
    std::string frame = std::string("\xFF\xFB\x90\x00", 4) + std::string(413, '\0');
    return frame + frame;
}

TEST(PlayChainMP3, TitleComesFromTheID3v1Tag)
{
    const auto folder = scratch_folder();
    struct Case {
        const char* name;
        std::string tail;
        std::u16string title;
    };
    const Case cases[] = {
        {"padded with spaces", id3v1("A title padded with spaces    "), u"A title padded with spaces"},
        {"padded with zeros", id3v1(std::string("Zeros", 5) + std::string(25, '\0')), u"Zeros"},
        {"cut at the first zero", id3v1(std::string("Cut\0after", 9)), u"Cut"},
        {"full thirty characters", id3v1("123456789012345678901234567890"), u"123456789012345678901234567890"},
        {"Latin-1 bytes", id3v1("Caf\xE9"), u"Caf\u00E9"},
        {"UTF-8 bytes", id3v1("Caf\xC3\xA9"), u"Caf\u00E9"},
        {"no tag", "", u"song.mp3"},
        {"empty title", id3v1(""), u"song.mp3"},
        {"tag followed by other bytes", id3v1("Earlier") + std::string(300, 'x'), u"Earlier"},
        {"TAG inside the tag's own fields", "TAG" + id3v1("Real").substr(3, 40) + "TAGx" + std::string(81, ' '),
         u"Real"},
        {"tag too far from the end", id3v1("Too far") + std::string(1000, 'x'), u"song.mp3"},
    };
    for (const Case& c : cases) {
        const auto path = folder / "song.mp3";
        write_bytes(path, two_frames() + c.tail);
        const auto chain = audio::open_play_chain(wide(path));
        ASSERT_TRUE(chain) << c.name;
        EXPECT_EQ(chain->codec_name(), u"mp3") << c.name;
        EXPECT_EQ(chain->title(), c.title) << c.name;
    }
}

TEST(PlayChainMP3, DecoderSitsBehindTheReader)
{
    const auto path = make_mp3(scratch_folder() / "chain.mp3", "-r 44100 -c 2 -b 16", 0.5, "-b 128 -t");
    const auto chain = audio::open_play_chain(wide(path));
    ASSERT_TRUE(chain);
    Collector<audio::PCMData> pcm;
    chain->pcm_provider()->connect(&pcm);
    EXPECT_TRUE(chain->file_reader()->pump(4000));
    ASSERT_FALSE(pcm.blocks.empty());
    EXPECT_EQ(pcm.blocks.front().channels, 2);
    EXPECT_EQ(pcm.blocks.front().bits, 16);
    EXPECT_EQ(pcm.blocks.front().sample_rate, 44100);
}

TEST(PlayChainDispatch, UnrecognisedFilesOpenNothing)
{
    const auto path = scratch_folder() / "notes.txt";
    write_bytes(path, "just some text, no audio at all");
    EXPECT_FALSE(audio::open_play_chain(wide(path)));
}

} // namespace
