// The edit field under a user's hands: keys, characters, the stylus, the clipboard and
// the context menu, scrolling, the blinking caret and the read-only and password
// fields, on both devices (drawn by the control on a Pocket PC, a platform edit window
// on a Smartphone).
#include <gtest/gtest.h>

#include <chrono>

#include "liba/log.h"

#include "platform/screen.h"
#include "platform/shell.h"
#include "tests/skinner/edit_fixture.h"

namespace edit_test {
namespace {

using platform::DeviceKind;

std::string device_name(const testing::TestParamInfo<DeviceKind>& info)
{
    return info.param == DeviceKind::pocket_pc ? "PocketPc" : "Smartphone";
}

// An emoji: one character, two code units.
const std::u16string grin = u"\U0001F600";

class EditTyping : public testing::TestWithParam<DeviceKind> {
protected:
    void SetUp() override
    {
        fixture = std::make_unique<EditFixture>(platform::ScreenConfig{{240, 320}, GetParam()});
        fixture->form.name.set_text(u"");
        fixture->form.changes.clear();
    }

    EditForm& form() { return fixture->form; }
    skinner::ControlEdit& name() { return fixture->form.name; }
    void play(std::string_view script) { fixture->play(script); }

    std::unique_ptr<EditFixture> fixture;
};

TEST_P(EditTyping, BackspaceAndDeleteAtBothEndsAndHomeAndEnd)
{
    ASSERT_EQ(form().focused(), &name());
    play("type abc");
    EXPECT_EQ(name().text(), u"abc");
    EXPECT_EQ(form().changes[&name()], 3);
    const struct {
        const char* keys;
        const char16_t* text;
        size_t caret;
    } steps[] = {
        {"key Delete", u"abc", 3}, // nothing after the caret
        {"key Home\nkey Backspace", u"abc", 0}, // nothing before it
        {"key Delete", u"bc", 0},
        {"key End\nkey Backspace", u"b", 1},
        {"key Left\ntype xy", u"xyb", 2},
        {"key Home\nkey Right\nkey Right\nkey Right\nkey Right", u"xyb", 3}, // stops at the end
    };
    for (const auto& step : steps) {
        play(step.keys);
        EXPECT_EQ(name().text(), step.text) << step.keys;
        EXPECT_EQ(name().caret(), step.caret) << step.keys;
        EXPECT_EQ(name().anchor(), step.caret) << step.keys;
    }
    // Each change was reported once; the keys that changed nothing reported nothing.
    EXPECT_EQ(form().changes[&name()], 3 + 2 + 2);
}

TEST_P(EditTyping, ShiftWithTheArrowsSelectsAndTypingReplacesTheSelection)
{
    play("type hello world");
    const struct {
        const char* keys;
        size_t anchor;
        size_t caret;
    } steps[] = {
        {"key Home\nkeydown Shift\nkey Right\nkey Right\nkeyup Shift", 0, 2},
        {"keydown Shift\nkey Left\nkey Left\nkey Left\nkey Home\nkeyup Shift", 0, 0},
        {"keydown Shift\nkey End\nkey Left\nkeyup Shift", 0, 10},
        {"key Right", 11, 11}, // without Shift the selection collapses
        {"keydown Ctrl\nkey Left\nkeyup Ctrl", 6, 6}, // to the start of the word
        {"keydown Ctrl\nkeydown Shift\nkey Left\nkeyup Shift\nkeyup Ctrl", 6, 0},
    };
    for (const auto& step : steps) {
        play(step.keys);
        EXPECT_EQ(name().anchor(), step.anchor) << step.keys;
        EXPECT_EQ(name().caret(), step.caret) << step.keys;
    }
    play("type Hi, ");
    EXPECT_EQ(name().text(), u"Hi, world");
    EXPECT_EQ(name().caret(), 4u);
}

// A character outside the basic plane is two code units; nothing ever stops between
// them.
TEST_P(EditTyping, ACharacterOfTwoCodeUnitsIsEditedAsOne)
{
    play("type a" + liba::to_narrow(grin) + "b");
    ASSERT_EQ(name().text(), u"a" + grin + u"b");
    play("key Left\nkey Left");
    EXPECT_EQ(name().caret(), 1u);
    play("key Right");
    EXPECT_EQ(name().caret(), 3u);
    play("keydown Shift\nkey Left\nkeyup Shift\nkeydown Ctrl\nkey C\nkeyup Ctrl");
    EXPECT_EQ(platform::clipboard_text(), grin);
    play("key Right\nkey Backspace");
    EXPECT_EQ(name().text(), u"ab");
    name().set_text(u"a" + grin);
    play("key Home\nkey Right\nkey Delete");
    EXPECT_EQ(name().text(), u"a");
    // A selection asked for in the middle of the pair starts before it.
    name().set_text(grin + grin);
    name().set_selection(1, 3);
    EXPECT_EQ(name().anchor(), 0u);
    EXPECT_EQ(name().caret(), 2u);
}

TEST_P(EditTyping, TheClipboardKeysCopyCutAndPaste)
{
    play("type one two");
    const struct {
        const char* keys;
        const char16_t* text;
        const char16_t* clipboard;
    } steps[] = {
        {"keydown Shift\nkey Left\nkey Left\nkey Left\nkeyup Shift\nkeydown Ctrl\nkey C\nkeyup Ctrl", u"one two",
            u"two"},
        {"keydown Ctrl\nkey X\nkeyup Ctrl", u"one ", u"two"},
        {"key Home\nkeydown Ctrl\nkey V\nkeyup Ctrl", u"twoone ", u"two"},
        {"keydown Shift\nkey Home\nkey Delete\nkeyup Shift", u"one ", u"two"},
        {"key End\nkeydown Shift\nkey Insert\nkeyup Shift", u"one two", u"two"},
        {"keydown Shift\nkey Home\nkeyup Shift\nkeydown Ctrl\nkey Insert\nkeyup Ctrl", u"one two", u"one two"},
    };
    for (const auto& step : steps) {
        play(step.keys);
        EXPECT_EQ(name().text(), step.text) << step.keys;
        EXPECT_EQ(platform::clipboard_text(), step.clipboard) << step.keys;
    }
}

// Pasted lines join into one: the field never holds a line break or a control
// character.
TEST_P(EditTyping, PastedLinesBecomeOneLine)
{
    const struct {
        std::u16string clipboard;
        std::u16string text;
    } cases[] = {
        {u"first\r\nsecond\nthird", u"first second third"},
        {u"\nname\n", u"name"},
        {u"tab\there\x01\x7F!", u"tab here!"},
        {std::u16string(u"end\0", 4), u"end"},
        {u"\r\n", u""},
    };
    for (const auto& c : cases) {
        name().set_text(u"");
        platform::set_clipboard_text(c.clipboard);
        play("keydown Ctrl\nkey V\nkeyup Ctrl");
        EXPECT_EQ(name().text(), c.text);
    }
}

TEST_P(EditTyping, ALongTextScrollsToKeepTheCaretInView)
{
    play("type The quick brown fox jumps over the lazy dog");
    const int scrolled = fixture->scrolled(name());
    EXPECT_GT(scrolled, 0);
    play("key Home");
    EXPECT_EQ(fixture->scrolled(name()), 0);
    play("key End");
    EXPECT_EQ(fixture->scrolled(name()), scrolled);
    // Deleted back to a short text, it starts at the left edge again.
    play("keydown Shift\nkey Home\nkeyup Shift\ntype short");
    EXPECT_EQ(fixture->scrolled(name()), 0);
}

TEST_P(EditTyping, AReadOnlyFieldRefusesChangesButCopiesAndSelects)
{
    skinner::ControlEdit& locked = form().locked;
    form().set_focus(&locked);
    platform::set_clipboard_text(u"pasted");
    play("type xyz\nkey Backspace\nkey Home\nkey Delete\nkeydown Ctrl\nkey V\nkey X\nkeyup Ctrl");
    EXPECT_EQ(locked.text(), u"locked text");
    EXPECT_EQ(form().changes[&locked], 0);
    EXPECT_FALSE(locked.can(skinner::EditCommand::paste));
    EXPECT_TRUE(locked.can(skinner::EditCommand::select_all));
    locked.perform(skinner::EditCommand::select_all);
    play("keydown Ctrl\nkey C\nkeyup Ctrl");
    EXPECT_EQ(platform::clipboard_text(), u"locked text");
}

TEST_P(EditTyping, APasswordFieldNeverGivesItsTextAway)
{
    skinner::ControlEdit& secret = form().secret;
    form().set_focus(&secret);
    platform::set_clipboard_text(u"kept");
    play("type abc\nkeydown Shift\nkey Home\nkeyup Shift\nkeydown Ctrl\nkey C\nkey X\nkeyup Ctrl");
    EXPECT_EQ(secret.text(), u"abc");
    EXPECT_EQ(platform::clipboard_text(), u"kept");
    play("keydown Ctrl\nkey V\nkeyup Ctrl");
    EXPECT_EQ(secret.text(), u"kept");
}

// What the log receives while a test runs.
class LogRecording : public liba::LogStream {
public:
    void write(const char16_t* first, const char16_t* last) override { text.append(first, last); }
    void flush() override { }
    std::u16string text;
};

LogRecording recorded_log;

TEST_P(EditTyping, APasswordNeverReachesTheLog)
{
    recorded_log.text.clear();
    liba::set_log_stream_chooser([]() -> liba::LogStream& { return recorded_log; });
    form().set_focus(&form().secret);
    play("type hunter2\nkey Tab");
    liba::set_log_stream_chooser(nullptr);
    EXPECT_EQ(form().secret.text(), u"hunter2");
    EXPECT_EQ(recorded_log.text.find(u"hunter"), std::u16string::npos);
    // The typing was logged, masked.
    EXPECT_NE(recorded_log.text.find(u"*"), std::u16string::npos);
}

TEST_P(EditTyping, SettingTheSameTextReportsNothing)
{
    name().set_text(u"same");
    name().set_text(u"same");
    EXPECT_EQ(form().changes[&name()], 1);
    EXPECT_EQ(name().caret(), 4u);
}

INSTANTIATE_TEST_SUITE_P(Devices, EditTyping, testing::Values(DeviceKind::pocket_pc, DeviceKind::smartphone), device_name);

// The stylus and the context menu of the drawn field.
class EditStylus : public EditTyping { };

TEST_P(EditStylus, ADragSelectsAndADoubleTapSelectsAWord)
{
    name().set_text(u"alpha beta");
    // From the left border to beyond the text's end.
    fixture->play("press " + fixture->at(name(), 2) + "\nmove " + fixture->at(name(), 60) + "\nrelease " +
        fixture->at(name(), 115));
    EXPECT_EQ(name().anchor(), 0u);
    EXPECT_EQ(name().caret(), 10u);
    // The drawn field reports the tap to its owner.
    EXPECT_EQ(form().clicks[&name()], fixture->native() ? 0 : 1);
    // Backwards, from the end to the start.
    fixture->play("press " + fixture->at(name(), 115) + "\nmove " + fixture->at(name(), 0) + "\nrelease " +
        fixture->at(name(), 0));
    EXPECT_EQ(name().anchor(), 10u);
    EXPECT_EQ(name().caret(), 0u);
    // The first word and the space after it.
    fixture->play("doubletap " + fixture->at(name(), 8));
    EXPECT_EQ(name().anchor(), 0u);
    EXPECT_EQ(name().caret(), 6u);
}

TEST_P(EditStylus, ATapPutsTheCaretAtTheNearestBoundary)
{
    name().set_text(u"iiiiiiii");
    fixture->play("tap " + fixture->at(name(), 2));
    EXPECT_EQ(name().caret(), 0u);
    fixture->play("tap " + fixture->at(name(), 118));
    EXPECT_EQ(name().caret(), 8u);
    fixture->play("tap " + fixture->at(name(), 12));
    EXPECT_GT(name().caret(), 0u);
    EXPECT_LT(name().caret(), 8u);
}

// The menu comes up on tap-and-hold (and, on the drawn field, the Applications key);
// its entries are chosen with the keys: Down goes to the first one that is enabled.
TEST_P(EditStylus, TheContextMenuCutsCopiesPastesDeletesAndSelectsAll)
{
    name().set_text(u"menu text");
    const std::string hold = "hold " + fixture->at(name(), 30) + " 600\n";
    const std::string menu = fixture->native() ? hold : "key Apps\n";
    const struct {
        std::string script;
        const char16_t* text;
        const char16_t* clipboard;
    } steps[] = {
        // Nothing selected: Up goes round to Select All.
        {hold + "key Up\nkey Enter", u"menu text", u""},
        // All selected: Cut, Copy, Paste and Delete, but no Select All.
        {menu + "key Down\nkey Down\nkey Enter", u"menu text", u"menu text"}, // Copy
        {menu + "key Down\nkey Enter\ntype new", u"new", u"menu text"}, // Cut, then typing
        // Nothing selected: Paste is the first entry enabled.
        {"key Home\n" + menu + "key Down\nkey Enter", u"menu textnew", u"menu text"},
        {menu + "key Up\nkey Enter\n" + menu + "key Down\nkey Down\nkey Down\nkey Down\nkey Enter", u"",
            u"menu text"}, // Select All, then Delete
    };
    for (const auto& step : steps) {
        fixture->play(step.script);
        EXPECT_EQ(name().text(), step.text) << step.script;
        EXPECT_EQ(platform::clipboard_text(), step.clipboard) << step.script;
    }
    EXPECT_FALSE(fixture->ui.failed());
}

TEST_P(EditStylus, TheCaretBlinksOnTheClock)
{
    name().set_text(u"");
    fixture->ui.run_until_idle();
    // Where the caret of the empty field stands, and its colour: a bar of the skin's
    // selection picture, or the platform's black.
    const platform::Rect field = fixture->screen_area(name());
    const int x = field.x + (fixture->native() ? 3 : 5);
    const std::uint32_t caret_colour = fixture->native() ? 0x000000 : selection_pixel;
    const auto caret_shown = [&] {
        return (fixture->ui.screen().pixel(x, field.y + field.height / 2) & 0xFFFFFF) == caret_colour;
    };
    EXPECT_TRUE(caret_shown());
    fixture->ui.advance(std::chrono::milliseconds(260));
    EXPECT_FALSE(caret_shown());
    fixture->ui.advance(std::chrono::milliseconds(250));
    EXPECT_TRUE(caret_shown());
    // Typing and moving the caret show it again at once.
    fixture->ui.advance(std::chrono::milliseconds(250));
    EXPECT_FALSE(caret_shown());
    fixture->play("type a\nkey Home");
    EXPECT_EQ(name().text(), u"a");
    EXPECT_TRUE(caret_shown());
    // A field without the focus shows no caret.
    name().set_text(u"");
    form().set_focus(&form().secret);
    fixture->ui.run_until_idle();
    EXPECT_FALSE(caret_shown());
}

INSTANTIATE_TEST_SUITE_P(Devices, EditStylus, testing::Values(DeviceKind::pocket_pc, DeviceKind::smartphone), device_name);

} // namespace
} // namespace edit_test
