// The conversion form over a real job: its caption and bar follow the worker from the
// user-interface thread, it closes itself when the worker ends, and Cancel or closing
// it stops the job without touching a file of the target's name.

#include <gtest/gtest.h>

#include "app/dialogs/form_converting.h"
#include "tests/app/dialogs_fixture.h"
#include "tests/support/reference_image.h"

using namespace dialogs_test;
using namespace fixtures;
using Outcome = RingtoneJob::Outcome;

namespace {

std::filesystem::path make_song(const std::filesystem::path& folder)
{
    return make_sine(folder / "song.wav", "-r 22050 -c 2 -b 16", 2.0, 0.25);
}

TEST(ConversionFormWorker, RunsToTheEndAndClosesItself)
{
    DialogsFixture fixture;
    const auto folder = scratch_folder();
    const auto song = make_song(folder);
    dialogs::FormConverting form(*fixture.parent, fixture.skin, wide(song), wide(folder / "tone.mp3"), 0, 22050);
    ASSERT_TRUE(form.has_room());
    Outcome outcome = Outcome::running;
    fixture.ui.play_during(
        "", [&] { outcome = form.run(); }, [&] { let_conversion_end(fixture.ui); });
    EXPECT_FALSE(fixture.ui.failed());
    EXPECT_EQ(outcome, Outcome::made);
    EXPECT_EQ(decode_all(folder / "tone.mp3").format.channels, 1);
}

TEST(ConversionFormWorker, ShowsThePassAndHowFarItIs)
{
    DialogsFixture fixture;
    const auto folder = scratch_folder();
    const auto song = make_song(folder);
    Gate gate(2, 0.5);
    dialogs::FormConverting form(*fixture.parent, fixture.skin, wide(song), wide(folder / "tone.mp3"), 0, 44100, &gate);
    gate.watch(form.job());
    Outcome outcome = Outcome::running;
    fixture.ui.play_during(
        "", [&] { outcome = form.run(); },
        [&] {
            gate.wait_reached();
            fixture.ui.play_next("wait 100", [&] {
                EXPECT_TRUE(ui_test::matches_reference(fixture.ui.screen(), "app/converting_midway"));
                gate.release();
                let_conversion_end(fixture.ui);
            });
        });
    EXPECT_FALSE(fixture.ui.failed());
    EXPECT_EQ(outcome, Outcome::made);
}

struct CancelCase {
    const char* name;
    int pass;
    bool by_button; // else the form is closed as the platform closes it
};

void PrintTo(const CancelCase& c, std::ostream* out) { *out << c.name; }

class ConversionFormWorkerCancel : public testing::TestWithParam<CancelCase> { };

TEST_P(ConversionFormWorkerCancel, LeavesNoNewFileAndKeepsTheOldOne)
{
    const CancelCase& c = GetParam();
    DialogsFixture fixture;
    const auto folder = scratch_folder();
    const auto song = make_song(folder);
    const auto rings = folder / "rings";
    std::filesystem::create_directories(rings);
    write_bytes(rings / "tone.mp3", "an older ring tone");
    Gate gate(c.pass, 0.3);
    dialogs::FormConverting form(*fixture.parent, fixture.skin, wide(song), wide(rings / "tone.mp3"), 0, 44100, &gate);
    gate.watch(form.job());
    Outcome outcome = Outcome::running;
    fixture.ui.play_during(
        "", [&] { outcome = form.run(); },
        [&] {
            gate.wait_reached();
            if (c.by_button)
                fixture.ui.play_next("wait 100\ntap 120 272");
            else
                form.close();
        });
    EXPECT_FALSE(fixture.ui.failed());
    EXPECT_EQ(outcome, Outcome::stopped);
    EXPECT_EQ(read_bytes(rings / "tone.mp3"), "an older ring tone");
    size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(rings))
        ++files;
    EXPECT_EQ(files, 1u);
}

INSTANTIATE_TEST_SUITE_P(Passes, ConversionFormWorkerCancel,
    testing::Values(CancelCase{"measuring_by_cancel", 1, true}, CancelCase{"encoding_by_cancel", 2, true},
        CancelCase{"measuring_by_closing", 1, false}, CancelCase{"encoding_by_closing", 2, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConversionFormWorker, AnUnreadableSourceEndsAtOnce)
{
    DialogsFixture fixture;
    const auto folder = scratch_folder();
    write_bytes(folder / "noise.wav", "not a song");
    dialogs::FormConverting form(
        *fixture.parent, fixture.skin, wide(folder / "noise.wav"), wide(folder / "tone.mp3"), 0, 1000);
    Outcome outcome = Outcome::running;
    fixture.ui.play_during(
        "", [&] { outcome = form.run(); }, [&] { let_conversion_end(fixture.ui); });
    EXPECT_EQ(outcome, Outcome::source_not_recognised);
    EXPECT_FALSE(std::filesystem::exists(folder / "tone.mp3"));
}

} // namespace
