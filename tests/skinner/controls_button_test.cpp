// Buttons, check boxes, pictures and frames: their looks against references, and taps,
// slides and keys played through the form window.
#include <gtest/gtest.h>

#include "platform/window.h"
#include "skinner/controls/control_button.h"
#include "skinner/controls/control_check_box.h"
#include "skinner/controls/control_frame.h"
#include "skinner/controls/control_picture.h"
#include "skinner/core/key_codes.h"
#include "tests/skinner/controls_fixture.h"
#include "tests/support/reference_image.h"

namespace controls_test {
namespace {

using skinner::ControlButton;
using skinner::ControlCheckBox;
using skinner::ControlFrame;
using skinner::ControlPicture;

// The Buttons form with its two check boxes, which the program makes by id.
class ButtonsForm : public ControlsForm {
public:
    explicit ButtonsForm(skinner::Properties& properties)
        : ControlsForm(properties, u"Buttons")
    {
    }

    ControlCheckBox off{*this, u"chkOff"};
    ControlCheckBox on{*this, u"chkOn"};
};

// Centre of a control on the screen.
Point centre(const skinner::Control& control)
{
    return control.position() + Point{control.size().x / 2, control.size().y / 2 + form_top};
}

TEST(ControlsLooks, ButtonStatesAndCheckBoxes)
{
    ControlsFixture fixture;
    ButtonsForm form(fixture.properties);
    platform::set_active_window(form.window());
    form.set_active(true);
    const Point pressed = centre(form.get<ControlButton>(u"btnPressed"));
    fixture.ui.press(pressed.x, pressed.y);
    // The press focused the pressed button; the focus goes on while it is held.
    form.set_focus(&form.get<ControlButton>(u"btnFocused"));
    fixture.ui.run_until_idle();
    EXPECT_EQ(form.get<ControlButton>(u"btnPressed").state(), skinner::STATE_PRESSED);
    EXPECT_EQ(form.get<ControlButton>(u"btnDisabled").state(), skinner::STATE_DISABLED);
    EXPECT_EQ(form.on.text(), u"On");
    EXPECT_EQ(form.off.text(), u"Off");
    EXPECT_TRUE(ui_test::matches_reference(fixture.ui.screen(), "skinner/controls_buttons"));
    fixture.ui.release(pressed.x, pressed.y);
    // Released on it: the stylus still rests there, so it is lit.
    EXPECT_EQ(form.get<ControlButton>(u"btnPressed").state(), skinner::STATE_HIGHLIGHTED);
}

TEST(ControlsLooks, FramesWrapAndEndInAnEllipsis)
{
    ControlsFixture fixture;
    ControlsForm form(fixture.properties, u"Frames");
    fixture.ui.run_until_idle();
    EXPECT_EQ(form.get<ControlFrame>(u"frmMarker").lines(), (std::vector<std::u16string>{u"One", u"Two", u"Three"}));
    EXPECT_EQ(form.get<ControlFrame>(u"frmPlain").lines(), (std::vector<std::u16string>{u"Not wrapped: a\\nb"}));
    EXPECT_GE(form.get<ControlFrame>(u"frmMore").lines().size(), 3u);
    EXPECT_TRUE(ui_test::matches_reference(fixture.ui.screen(), "skinner/controls_frames"));
}

// A dialog placed by its needed size grows with its auto-sized frame.
TEST(ControlsLooks, AnAutoSizedFrameGrowsItsDialog)
{
    ControlsFixture fixture;
    ControlsForm form(fixture.properties, u"Grow");
    form.place_window();
    fixture.ui.run_until_idle();
    const ControlFrame& frame = form.get<ControlFrame>(u"frmGrow");
    const Point needed = frame.needed_size();
    EXPECT_EQ(frame.lines().size(), 4u);
    EXPECT_GT(needed.y, frame.skin_size().y);
    EXPECT_EQ(platform::window_rect(form.window()).height, 40 + needed.y - frame.skin_size().y);
    EXPECT_TRUE(ui_test::matches_reference(fixture.ui.screen(), "skinner/controls_frame_grows"));
}

TEST(ControlsLooks, PicturesShrinkToFitAndAlign)
{
    ControlsFixture fixture;
    ControlsForm form(fixture.properties, u"Pictures");
    fixture.ui.run_until_idle();
    const struct {
        const char16_t* id;
        Point origin; // from the control's position
        Point size;
    } cases[] = {
        {u"picShrink", {0, 12}, {50, 25}},
        {u"picTopLeft", {0, 0}, {100, 50}},
        {u"picBottomRight", {60, 30}, {100, 50}},
        {u"picNarrow", {0, 27}, {50, 25}},
    };
    for (const auto& c : cases) {
        const ControlPicture& picture = form.get<ControlPicture>(c.id);
        EXPECT_EQ(picture.drawn_origin(), picture.position() + c.origin) << liba::to_narrow(c.id);
        EXPECT_EQ(picture.drawn_size(), c.size) << liba::to_narrow(c.id);
    }
    EXPECT_TRUE(ui_test::matches_reference(fixture.ui.screen(), "skinner/controls_pictures"));
}

TEST(ControlsButtons, ATapClicksOnceAndASlideOffDoesNot)
{
    ControlsFixture fixture;
    ButtonsForm form(fixture.properties);
    const Point normal = centre(form.get<ControlButton>(u"btnNormal"));
    fixture.ui.tap(normal.x, normal.y);
    EXPECT_EQ(form.clicks, (std::vector<std::u16string>{u"btnNormal"}));

    // Pressed, slid off and released beside it: shown pressed while held, no click.
    fixture.ui.press(normal.x, normal.y);
    fixture.ui.move(normal.x + 80, normal.y + 40);
    EXPECT_EQ(form.get<ControlButton>(u"btnNormal").state(), skinner::STATE_PRESSED);
    fixture.ui.release(normal.x + 80, normal.y + 40);
    EXPECT_EQ(form.clicks.size(), 1u);
    // Slid off and back on before the release: a click.
    fixture.ui.press(normal.x, normal.y);
    fixture.ui.move(normal.x + 80, normal.y);
    fixture.ui.move(normal.x, normal.y);
    fixture.ui.release(normal.x, normal.y);
    EXPECT_EQ(form.clicks.size(), 2u);
}

TEST(ControlsButtons, DisabledCutOutAndSystemMenuButtonsDoNotClick)
{
    ControlsFixture fixture;
    ButtonsForm form(fixture.properties);
    const ControlButton& ring = form.get<ControlButton>(u"btnCutOut");
    const Point disabled = centre(form.get<ControlButton>(u"btnDisabled"));
    fixture.ui.tap(disabled.x, disabled.y);
    // The ring's hole lets the tap through; its rim takes it.
    const Point hole = centre(ring);
    fixture.ui.tap(hole.x, hole.y);
    const ControlButton& system = form.get<ControlButton>(u"btnSysMenu");
    const Point sysmenu = centre(system);
    fixture.ui.tap(sysmenu.x, sysmenu.y);
    EXPECT_TRUE(form.clicks.empty());
    EXPECT_FALSE(system.wants_focus());
    fixture.ui.tap(ring.position().x + 3, ring.position().y + form_top + 3);
    EXPECT_EQ(form.clicks, (std::vector<std::u16string>{u"btnCutOut"}));
}

TEST(ControlsButtons, EnterPressesWhileHeldAndClicksOnRelease)
{
    ControlsFixture fixture;
    ButtonsForm form(fixture.properties);
    platform::set_active_window(form.window());
    form.set_active(true);
    ControlButton& focused = form.get<ControlButton>(u"btnFocused");
    form.set_focus(&focused);
    // On a Pocket PC keys reach the form through its loop.
    skinner::ButtonState held = skinner::STATE_NORMAL;
    fixture.ui.play_during(
        "keydown Enter", [&] { form.do_modal(); },
        [&] {
            held = focused.state();
            form.close();
        });
    EXPECT_EQ(held, skinner::STATE_PRESSED);
    EXPECT_TRUE(form.clicks.empty());
    // Leaving the loop took the focus away, and with it the press.
    EXPECT_EQ(focused.state(), skinner::STATE_NORMAL);
    fixture.ui.play_during(
        "keydown Enter\nkeyup Enter", [&] { form.do_modal(); }, [&] { form.close(); });
    EXPECT_EQ(form.clicks, (std::vector<std::u16string>{u"btnFocused"}));
    // A release whose press this button never saw is no click.
    form.set_focus(&focused);
    EXPECT_TRUE(focused.on_key_up(skinner::key::enter, 0));
    EXPECT_EQ(form.clicks.size(), 1u);
    // A command named like the button clicks it; another one goes on to the form.
    focused.on_command(nullptr, u"btnFocused");
    focused.on_command(nullptr, u"Other");
    EXPECT_EQ(form.clicks.size(), 2u);
    EXPECT_EQ(form.commands, (std::vector<std::u16string>{u"Other"}));
}

TEST(ControlsButtons, CheckBoxTogglesAndItsTextFollows)
{
    ControlsFixture fixture;
    ButtonsForm form(fixture.properties);
    const Point box = centre(form.off);
    fixture.ui.tap(box.x, box.y);
    EXPECT_TRUE(form.off.checked());
    EXPECT_EQ(form.off.text(), u"On");
    fixture.ui.tap(box.x, box.y);
    EXPECT_FALSE(form.off.checked());
    EXPECT_EQ(form.off.text(), u"Off");
    EXPECT_EQ(form.clicks, (std::vector<std::u16string>{u"chkOff", u"chkOff"}));
    form.off.set_text(u"Loud", true);
    EXPECT_EQ(form.off.text(), u"Off");
    form.off.set_checked(true);
    EXPECT_EQ(form.off.text(), u"Loud");
    form.off.set_text(u"Same");
    EXPECT_EQ(form.off.checked_text(), u"Same");
    EXPECT_EQ(form.off.unchecked_text(), u"Same");
}

// Pictures are never hit nor focused: a tap on one goes to what lies under it.
TEST(ControlsButtons, APictureIsNeverHitNorFocused)
{
    ControlsFixture fixture;
    ControlsForm form(fixture.properties, u"Pictures");
    const ControlPicture& picture = form.get<ControlPicture>(u"picShrink");
    EXPECT_FALSE(picture.wants_focus());
    EXPECT_NE(form.control_at(centre(picture) - Point{0, form_top}), &picture);
    EXPECT_NE(form.focused(), &picture);
}

struct WrapCase {
    const char16_t* text;
    const char16_t* room; // the widest text that fits
    std::vector<std::u16string> lines;
};

TEST(ControlsFrames, WrapBreaksAtBlanksLineFeedsAndMarkers)
{
    ControlsFixture fixture;
    ControlsForm form(fixture.properties, u"Frames");
    ControlFrame& frame = form.get<ControlFrame>(u"frmWrap");
    const WrapCase cases[] = {
        {u"a b c", u"m", {u"a", u"b", u"c"}},
        {u"ab cd ef", u"ab cd", {u"ab cd", u"ef"}},
        {u"one\ntwo", u"one two three", {u"one", u"two"}},
        {u"one\\ntwo\\n", u"one two three", {u"one", u"two", u""}},
        // A word wider than the frame stands alone, and the rest goes on.
        {u"wordwordword a b", u"a b", {u"wordwordword", u"a b"}},
        {u"", u"m", {u""}},
    };
    for (const WrapCase& c : cases) {
        // The borders take 4 pixels at each side.
        const int room = skinner::CanvasImpl::measure_text(frame.text_font(), c.room).x;
        frame.set_rectangle(frame.position(), {room + 8, frame.size().y});
        frame.set_text(c.text);
        EXPECT_EQ(frame.lines(), c.lines) << liba::to_narrow(c.text);
    }
}

} // namespace
} // namespace controls_test
