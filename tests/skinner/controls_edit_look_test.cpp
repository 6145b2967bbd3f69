// What the edit field looks like, drawn by itself on a Pocket PC and by the platform's
// edit window on a Smartphone: empty, filled, with a selection and scrolled, at scale
// 1 and 2, the read-only and password fields beside it, and its context menu.
#include <gtest/gtest.h>

#include "tests/skinner/edit_fixture.h"
#include "tests/support/reference_image.h"

namespace edit_test {
namespace {

struct LookCase {
    const char* name;
    platform::ScreenConfig screen;
};

class EditLook : public testing::TestWithParam<LookCase> { };

// The name field's rectangle with a margin, so that the focus frame shows whole.
platform::Rect around(const EditFixture& fixture, const skinner::Control& control)
{
    const platform::Rect area = fixture.screen_area(control);
    return {area.x - 2, area.y - 2, area.width + 4, area.height + 4};
}

TEST_P(EditLook, TheStatesOfTheField)
{
    EditFixture fixture(GetParam().screen);
    skinner::ControlEdit& name = fixture.form.name;
    const struct {
        const char* state;
        std::u16string text;
        size_t anchor;
        size_t caret;
    } states[] = {
        {"empty", u"", 0, 0},
        {"filled", u"Ringtone_001", 12, 12},
        {"selected", u"Ringtone_001", 2, 8},
        {"scrolled", u"The quick brown fox jumps over the lazy dog", 43, 43},
    };
    for (const auto& state : states) {
        name.set_text(state.text);
        name.set_selection(state.anchor, state.caret);
        fixture.ui.run_until_idle();
        ASSERT_TRUE(fixture.native() || name.caret_visible());
        EXPECT_TRUE(ui_test::matches_reference(fixture.ui.screen(), around(fixture, name),
            std::string("skinner/edit_") + state.state + "_" + GetParam().name));
    }
}

TEST_P(EditLook, ReadOnlyAndPasswordFields)
{
    EditFixture fixture(GetParam().screen);
    fixture.form.secret.set_text(u"secret");
    fixture.ui.run_until_idle();
    const platform::Rect top = around(fixture, fixture.form.locked);
    const platform::Rect bottom = around(fixture, fixture.form.secret);
    EXPECT_TRUE(ui_test::matches_reference(fixture.ui.screen(), top.united(bottom),
        std::string("skinner/edit_locked_and_secret_") + GetParam().name));
}

// The context menu speaks the user's language; what cannot be done now is greyed.
TEST(EditMenuLook, TheMenuTextsComeFromTheLanguage)
{
    EditFixture fixture;
    const auto folder = skin_test::scratch_folder("language");
    skin_test::write_file(folder / "Deutsch.lng",
        std::string("menuCut Ausschneiden\nmenuCopy Kopieren\nmenuPaste Einf\xC3\xBCgen\nmenuDelete L\xC3\xB6schen\n"
                    "menuSelectAll Alles markieren\n"));
    ASSERT_TRUE(fixture.properties.load_language(skin_test::wide(folder / "Deutsch.lng")));
    fixture.form.name.set_text(u"Ringtone_001");
    const std::string shot = (folder / "menu.png").string();
    fixture.play("key Apps\nscreenshot " + shot + "\nkey Escape");
    EXPECT_FALSE(fixture.ui.failed());
    EXPECT_TRUE(ui_test::png_matches_reference(shot, "skinner/edit_menu_de"));
}

INSTANTIATE_TEST_SUITE_P(Scales, EditLook,
    testing::Values(LookCase{"pocketpc_240x320", {{240, 320}, platform::DeviceKind::pocket_pc}},
        LookCase{"pocketpc_480x640", {{480, 640}, platform::DeviceKind::pocket_pc}},
        LookCase{"smartphone_240x320", {{240, 320}, platform::DeviceKind::smartphone}},
        LookCase{"smartphone_480x640", {{480, 640}, platform::DeviceKind::smartphone}}),
    [](const testing::TestParamInfo<LookCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace edit_test
