// The one-line editing model: character boundaries around surrogate pairs, word
// motions, what one line keeps of a pasted text, and the scroll rule.
#include "liba/line_edit.h"

#include <gtest/gtest.h>

namespace {

using liba::LineEdit;
using Motion = LineEdit::Motion;

const std::u16string grin = u"\U0001F600";

TEST(LineEdit, NoPositionEverFallsInsideASurrogatePair)
{
    LineEdit edit;
    edit.set_text(u"a" + grin + u"b" + grin);
    ASSERT_EQ(edit.length(), 6u);
    const struct {
        size_t index;
        size_t boundary;
        size_t next;
        size_t previous;
    } cases[] = {
        {0, 0, 1, 0}, {1, 1, 3, 0}, {2, 1, 3, 0}, {3, 3, 4, 1}, {4, 4, 6, 3}, {5, 4, 6, 3}, {6, 6, 6, 4}, {9, 6, 6, 4},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(edit.boundary(c.index), c.boundary) << c.index;
        EXPECT_EQ(edit.next_boundary(c.index), c.next) << c.index;
        EXPECT_EQ(edit.previous_boundary(c.index), c.previous) << c.index;
    }
    edit.select(2, 5);
    EXPECT_EQ(edit.selected(), grin + u"b");
    EXPECT_TRUE(edit.erase_backward());
    EXPECT_EQ(edit.text(), u"a" + grin);
    EXPECT_TRUE(edit.erase_forward());
    EXPECT_EQ(edit.text(), u"a");
    // A lone half, as a typed character arrives one unit at a time, is a character.
    edit.set_text(u"x\xD83D");
    edit.move(Motion::left, false);
    EXPECT_EQ(edit.caret(), 1u);
}

TEST(LineEdit, WordMotionsStopAtTheStartsOfWords)
{
    LineEdit edit;
    edit.set_text(u"one  two three");
    const struct {
        Motion motion;
        size_t caret;
    } steps[] = {
        {Motion::word_left, 9},
        {Motion::word_left, 5},
        {Motion::word_left, 0},
        {Motion::word_left, 0},
        {Motion::word_right, 5},
        {Motion::word_right, 9},
        {Motion::word_right, 14},
    };
    for (const auto& step : steps) {
        edit.move(step.motion, false);
        EXPECT_EQ(edit.caret(), step.caret);
    }
    edit.select_word_at(6);
    EXPECT_EQ(edit.selected(), u"two ");
}

TEST(LineEdit, ReplacingReportsOnlyRealChanges)
{
    LineEdit edit;
    EXPECT_FALSE(edit.erase_backward());
    EXPECT_FALSE(edit.replace_selection(u"\n"));
    EXPECT_TRUE(edit.replace_selection(u"abc"));
    EXPECT_FALSE(edit.erase_forward());
    EXPECT_FALSE(edit.set_text(u"abc"));
    edit.select(1, 2);
    EXPECT_TRUE(edit.replace_selection(u"XY"));
    EXPECT_EQ(edit.text(), u"aXYc");
    EXPECT_EQ(edit.caret(), 3u);
    EXPECT_EQ(edit.anchor(), 3u);
}

TEST(LineEdit, OneLineJoinsLinesAndDropsControlCharacters)
{
    const struct {
        std::u16string text;
        std::u16string line;
    } cases[] = {
        {u"plain", u"plain"},
        {u"a\r\nb\n\nc\rd", u"a b c d"},
        {u"\r\n lead and trail \n\n", u" lead and trail "},
        {u"tab\tbell\x07" u"del\x7F" u"end", u"tab belldelend"},
        {std::u16string(u"zero\0", 5), u"zero"},
        {u"\U0001F600\n\U0001F600", u"\U0001F600 \U0001F600"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(liba::one_line(c.text), c.line);
}

TEST(LineEdit, TheScrollKeepsTheCaretInsideTheBox)
{
    const struct {
        int scroll, text_width, caret_x, room, expected;
    } cases[] = {
        {0, 50, 50, 100, 0}, // fits: from the left edge
        {-30, 50, 50, 100, 0}, // fits again after a deletion
        {0, 300, 300, 100, -200}, // the caret at the end of a long text
        {-200, 300, 0, 100, 0}, // Home
        {-200, 300, 150, 100, -150}, // caret left of the box
        {-50, 300, 120, 100, -50}, // still inside: stays
    };
    for (const auto& c : cases)
        EXPECT_EQ(liba::keep_caret_visible(c.scroll, c.text_width, c.caret_x, c.room), c.expected)
            << c.scroll << " " << c.caret_x;
}

} // namespace
