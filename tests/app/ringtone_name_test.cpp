#include <gtest/gtest.h>

#include "app/ringtone_name.h"
#include "tests/audio/fixtures.h"

using namespace fixtures;

namespace {

struct NameCase {
    const char* name;
    std::vector<std::string> files;
    const char* prefix;
    const char* expected; // file name of the proposal
};

void PrintTo(const NameCase& c, std::ostream* out) { *out << c.name; }

class UniqueRingtoneName : public testing::TestWithParam<NameCase> {};

TEST_P(UniqueRingtoneName, ProposesOneAboveTheHighestNumber)
{
    const NameCase& c = GetParam();
    const auto folder = scratch_folder();
    for (const std::string& file : c.files)
        write_bytes(folder / file, "x");
    std::filesystem::create_directory(folder / (std::string(c.prefix) + "500")); // folders do not count
    EXPECT_EQ(unique_ringtone_name(wide(folder), liba::to_wide(c.prefix), u"mp3"),
              wide(folder) + u"/" + liba::to_wide(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Folders, UniqueRingtoneName,
    testing::Values(
        NameCase{"empty_folder", {}, "Song_", "Song_001.mp3"},
        NameCase{"any_extension_counts", {"Song_001.mp3", "Song_002.wav", "Song_7 copy.mp3"}, "Song_", "Song_008.mp3"},
        NameCase{"numbers_are_not_reused", {"Song_005.mp3"}, "Song_", "Song_006.mp3"},
        NameCase{"letter_case_ignored", {"SONG_041.mp3"}, "Song_", "Song_042.mp3"},
        NameCase{"space_and_sign_allowed", {"Song_ 12.mp3", "Song_+20.mp3", "Song_-90.mp3"}, "Song_", "Song_021.mp3"},
        NameCase{"digits_needed", {"Song_abc.mp3", "Song_.mp3", "Song.mp3", "Other_077.mp3"}, "Song_", "Song_001.mp3"},
        NameCase{"three_digits_at_least", {"Song_099.mp3"}, "Song_", "Song_100.mp3"},
        NameCase{"no_upper_limit", {"Song_9999.mp3"}, "Song_", "Song_10000.mp3"},
        NameCase{"numbers_too_large_do_not_count", {"Song_99999999999999999999999.mp3", "Song_3.mp3"}, "Song_",
                 "Song_004.mp3"},
        NameCase{"prefix_matched_literally", {"Sa_9.mp3"}, "S?_", "S?_001.mp3"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UniqueRingtoneNameFolder, TrailingSeparatorAndMissingFolder)
{
    const auto folder = scratch_folder();
    EXPECT_EQ(unique_ringtone_name(wide(folder) + u"/", u"Tune_", u"mp3"), wide(folder) + u"/Tune_001.mp3");
    EXPECT_EQ(unique_ringtone_name(wide(folder / "missing"), u"Tune_", u"mp3"),
              wide(folder / "missing") + u"/Tune_001.mp3");
}

} // namespace

// A typed name stays a file name inside the ring-tone folder.
TEST(AcceptableRingtoneName, RefusesWhatLeavesTheFolderOrHoldsControlCharacters)
{
    for (const std::u16string_view name : {u"../song", u"a/b", u"a\\b", u".", u"..", u"tab\there", u"line\nfeed",
                                           u"bell\x7f", u"c1\x85"})
        EXPECT_FALSE(is_acceptable_ringtone_name(name)) << liba::to_narrow(name);
    for (const std::u16string_view name : {u"song_001", u"...song", u"my song.", u"Мелодия", u"a:b"})
        EXPECT_TRUE(is_acceptable_ringtone_name(name)) << liba::to_narrow(name);
}
