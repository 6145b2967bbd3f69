// The edit field on a Smartphone: a platform edit window over the control, which
// follows the control's place, visibility and skin, hands its keys on to the form and
// takes numbers or text as the skin asks.
#include <gtest/gtest.h>

#include "platform/edit_window.h"
#include "platform/window.h"
#include "tests/skinner/edit_fixture.h"

namespace edit_test {
namespace {

const platform::ScreenConfig smartphone{{240, 320}, platform::DeviceKind::smartphone};

TEST(EditNative, EachFieldHasAnEditWindowOverIt)
{
    EditFixture fixture(smartphone);
    EditForm& form = fixture.form;
    for (const skinner::ControlEdit* field : {&form.name, &form.locked, &form.secret, &form.number}) {
        const platform::WindowHandle window = fixture.edit_window(*field);
        ASSERT_NE(window, platform::no_window) << liba::to_narrow(field->id());
        EXPECT_TRUE(platform::is_window_visible(window));
        EXPECT_FALSE(field->hit_test(field->position()));
    }
    // The edit window has the keys of the focused field.
    EXPECT_EQ(platform::focus_window(), fixture.edit_window(form.name));
    form.number.set_visible(false);
    EXPECT_FALSE(platform::is_window_visible(fixture.edit_window(form.number)));
}

TEST(EditNative, UpDownAndTabInTheEditWindowMoveTheFocus)
{
    EditFixture fixture(smartphone);
    EditForm& form = fixture.form;
    const struct {
        const char* keys;
        const skinner::ControlEdit* focused;
    } steps[] = {
        {"key Tab", &form.locked},
        {"key Down", &form.secret},
        {"key Up\nkey Up", &form.name},
    };
    for (const auto& step : steps) {
        fixture.play(step.keys);
        EXPECT_EQ(form.focused(), step.focused) << step.keys;
        EXPECT_EQ(platform::focus_window(), fixture.edit_window(*step.focused)) << step.keys;
    }
    // Typing goes where the focus went; the others keep their texts.
    fixture.play("key Tab\nkey Tab\ntype pw");
    EXPECT_EQ(form.secret.text(), u"pw");
    EXPECT_EQ(form.name.text(), u"NameText");
}

TEST(EditNative, ATapIntoAFieldGivesItTheFormsFocus)
{
    EditFixture fixture(smartphone);
    EditForm& form = fixture.form;
    fixture.play("tap " + fixture.at(form.secret, 20) + "\ntype 42\nkey Up");
    EXPECT_EQ(form.secret.text(), u"42");
    EXPECT_EQ(form.focused(), &form.locked);
    EXPECT_EQ(platform::focus_window(), fixture.edit_window(form.locked));
}

TEST(EditNative, TheNumbersFieldTakesDigitsOnly)
{
    EditFixture fixture(smartphone);
    EditForm& form = fixture.form;
    const auto mode = [&](const skinner::ControlEdit& field) {
        return platform::send_message(fixture.edit_window(field), platform::edit_messages::get_input_mode);
    };
    EXPECT_EQ(mode(form.number), static_cast<std::intptr_t>(platform::input_mode_numbers));
    EXPECT_EQ(mode(form.name), static_cast<std::intptr_t>(platform::input_mode_text));
    form.set_focus(&form.number);
    fixture.play("type a1b2-3");
    EXPECT_EQ(form.number.text(), u"123");
    EXPECT_EQ(form.changes[&form.number], 3);
}

TEST(EditNative, AFocusedFieldSelectsItsWholeText)
{
    EditFixture fixture(smartphone);
    EditForm& form = fixture.form;
    form.set_focus(&form.locked);
    EXPECT_EQ(form.locked.anchor(), 0u);
    EXPECT_EQ(form.locked.caret(), form.locked.text().size());
}

// A new skin makes a new edit window, which starts with the text the field had.
TEST(EditNative, AReloadedSkinMakesAFreshWindowWithTheText)
{
    EditFixture fixture(smartphone);
    EditForm& form = fixture.form;
    fixture.play("type !");
    ASSERT_EQ(form.name.text(), u"!");
    const platform::WindowHandle before = fixture.edit_window(form.name);
    fixture.properties.refresh_skin();
    fixture.ui.run_until_idle();
    const platform::WindowHandle after = fixture.edit_window(form.name);
    EXPECT_FALSE(platform::is_window(before));
    ASSERT_NE(after, platform::no_window);
    std::u16string text(16, u'\0');
    text.resize(static_cast<size_t>(platform::send_message(
        after, platform::edit_messages::get_text, text.size(), reinterpret_cast<std::intptr_t>(text.data()))));
    EXPECT_EQ(text, u"!");
    EXPECT_EQ(form.changes[&form.name], 1);
    // The new window has the keys.
    EXPECT_EQ(platform::focus_window(), after);
    fixture.play("key End\ntype ?");
    EXPECT_EQ(form.name.text(), u"!?");
}

} // namespace
} // namespace edit_test
