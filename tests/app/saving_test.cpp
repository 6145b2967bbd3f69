// Saving a fragment as a ring tone through the dialogs: the proposed names, the
// refused ones, the failures that are reported, and the assignment to the phone.

#include <gtest/gtest.h>

#include <cstdlib>

#include "app/dialogs/form_report.h"
#include "app/dialogs/form_save.h"
#include "app/make_ringtone.h"
#include "os/registry.h"
#include "tests/app/dialogs_fixture.h"
#include "tests/support/reference_image.h"

using namespace dialogs_test;
using namespace fixtures;

namespace {

// Where the dialogs' Cancel button lies on a 240 x 320 Pocket PC.
constexpr const char* tap_cancel = "tap 46 271";
constexpr const char* tap_ok = "tap 227 13";

// Points an environment variable somewhere for one test.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::filesystem::path& value)
        : name_(name)
    {
        if (const char* before = std::getenv(name))
            before_ = before;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedVariable()
    {
        if (before_.empty())
            unsetenv(name_);
        else
            setenv(name_, before_.c_str(), 1);
    }

private:
    const char* name_;
    std::string before_;
};

// The program reads its special folders once, so every test of the process shares
// one ring-tone folder, emptied for each.
std::filesystem::path ring_tone_folder()
{
    const std::filesystem::path windows = std::filesystem::path(std::getenv("MELODRIFT_TEST_TMP")) / "windows";
    setenv("MELODRIFT_WINDOWS", windows.c_str(), 1);
    std::filesystem::remove_all(windows);
    return windows / "Rings";
}

class SavingTest : public testing::Test {
protected:
    std::filesystem::path folder = scratch_folder();
    std::filesystem::path rings = ring_tone_folder();
    ScopedVariable registry{"MELODRIFT_REGISTRY", folder / "registry.ini"};
    DialogsFixture fixture;

    std::filesystem::path make_song()
    {
        return make_sine(folder / "song.wav", "-r 22050 -c 2 -b 16", 1.0, 0.25);
    }

    // Accepts the proposed name; after_conversion plays once the conversion has ended.
    std::u16string save(const std::filesystem::path& source, const std::string& after_conversion = "")
    {
        std::u16string made;
        fixture.ui.play_during(
            tap_ok, [&] { made = make_ringtone(*fixture.parent, fixture.skin, wide(source), 0, 11025, false); },
            [&] {
                let_conversion_end(fixture.ui);
                if (!after_conversion.empty())
                    fixture.ui.play_next(after_conversion);
            });
        EXPECT_FALSE(fixture.ui.failed());
        return made;
    }
};

TEST_F(SavingTest, ProposesTheNextNumberAndMakesAMonoRingTone)
{
    const auto song = make_song();
    EXPECT_EQ(save(song), wide(rings) + u"/song_001.mp3");
    EXPECT_EQ(decode_all(rings / "song_001.mp3").format.channels, 1);
    EXPECT_EQ(save(song), wide(rings) + u"/song_002.mp3");
    EXPECT_TRUE(std::filesystem::exists(rings / "song_001.mp3"));
}

TEST_F(SavingTest, CancelMakesNothing)
{
    const auto song = make_song();
    std::u16string made = u"unchanged";
    fixture.ui.play_during(
        tap_cancel, [&] { made = make_ringtone(*fixture.parent, fixture.skin, wide(song), 0, 11025, true); }, {});
    EXPECT_FALSE(fixture.ui.failed());
    EXPECT_EQ(made, u"");
    EXPECT_TRUE(std::filesystem::is_empty(rings));
}

TEST_F(SavingTest, AnUnreadableSourceIsReported)
{
    write_bytes(folder / "noise.wav", "not a song");
    const std::string shot = (folder / "report.png").string();
    EXPECT_EQ(save(folder / "noise.wav", "wait-until 1000 title Melodrift\nscreenshot " + shot + "\n" + tap_ok), u"");
    EXPECT_TRUE(ui_test::png_matches_reference(shot, "app/report_cannot_make"));
    EXPECT_TRUE(std::filesystem::is_empty(rings));
}

TEST_F(SavingTest, TheSaveDialogLooksRight)
{
    dialogs::FormSave form(*fixture.parent, fixture.skin, u"The ring tone will be saved in /home/user/Rings",
                           u"song_001");
    const std::string shot = (folder / "save.png").string();
    fixture.ui.play_during("screenshot " + shot, [&] { form.do_modal(); }, [&] { form.close(); });
    EXPECT_EQ(form.entered_name(), u"song_001");
    EXPECT_TRUE(ui_test::png_matches_reference(shot, "app/save_dialog"));
}

class SavingRefusedName : public testing::TestWithParam<const char16_t*> {};

TEST_P(SavingRefusedName, IsReportedAndTheDialogStays)
{
    DialogsFixture fixture;
    dialogs::FormSave form(*fixture.parent, fixture.skin, u"Save", GetParam());
    fixture.ui.play_during(std::string(tap_ok) + "\nwait-until 1000 title Melodrift\n" + tap_ok +
                               "\nwait-until 1000 title Save the ring tone\n" + tap_cancel,
                           [&] { form.do_modal(); }, {});
    EXPECT_FALSE(fixture.ui.failed());
    EXPECT_EQ(form.entered_name(), u"");
}

INSTANTIATE_TEST_SUITE_P(Names, SavingRefusedName,
                         testing::Values(u"../song", u"a/b", u"a\\b", u".", u".."));

TEST_F(SavingTest, AssignSetsThePhonesRingTone)
{
    EXPECT_TRUE(assign_ringtone(*fixture.parent, fixture.skin, u"/rings/song_001.mp3"));
    std::u16string value;
    EXPECT_TRUE(os::read_registry_string(u"HKEY_CURRENT_USER\\ControlPanel\\Sounds\\RingTone0", u"Sound", value));
    EXPECT_EQ(value, u"/rings/song_001.mp3");
}

TEST_F(SavingTest, AFailedAssignIsReported)
{
    write_bytes(folder / "not_a_folder", "");
    ScopedVariable unwritable("MELODRIFT_REGISTRY", folder / "not_a_folder" / "registry.ini");
    bool assigned = true;
    fixture.ui.play_during(
        "wait-until 1000 title Melodrift\n" + std::string(tap_ok),
        [&] { assigned = assign_ringtone(*fixture.parent, fixture.skin, u"/rings/song_001.mp3"); }, {});
    EXPECT_FALSE(fixture.ui.failed());
    EXPECT_FALSE(assigned);
}

} // namespace
