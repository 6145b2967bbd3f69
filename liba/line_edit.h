#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The editing model of a one-line text field: UTF-16 text, a caret and an anchor
// (the selection lies between them). Positions are code-unit indexes, but the model
// only ever stops on character boundaries: the caret, the anchor, deletion and every
// selection step over a surrogate pair as one character. The text never holds line
// breaks or other control characters; whatever is put in goes through one_line().
namespace liba {

class LineEdit {
public:
    enum class Motion { left, right, word_left, word_right, home, end };

    const std::u16string& text() const { return text_; }
    size_t length() const { return text_.size(); }
    size_t caret() const { return caret_; }
    size_t anchor() const { return anchor_; }
    size_t selection_start() const { return caret_ < anchor_ ? caret_ : anchor_; }
    size_t selection_end() const { return caret_ < anchor_ ? anchor_ : caret_; }
    bool has_selection() const { return caret_ != anchor_; }
    bool all_selected() const { return selection_start() == 0 && selection_end() == text_.size(); }
    std::u16string_view selected() const;

    // Replaces the whole text, with the caret and the anchor at its end; true when
    // the text changed.
    bool set_text(std::u16string_view text);
    // Each index is kept inside the text and off the middle of a surrogate pair.
    void select(size_t anchor, size_t caret);
    void select_all() { select(0, text_.size()); }
    // The word at the index and the white space after it (a double tap).
    void select_word_at(size_t index);
    // Moves the caret; without extend the anchor follows it.
    void move(Motion motion, bool extend);

    // Each answers whether the text changed; the caret and the anchor end up together.
    bool replace_selection(std::u16string_view with);
    bool erase_selection() { return replace_selection({}); }
    // The selection, or else the character before (backward) or after the caret.
    bool erase_backward();
    bool erase_forward();

    // The nearest character boundary at or before the index.
    size_t boundary(size_t index) const;
    size_t next_boundary(size_t index) const;
    size_t previous_boundary(size_t index) const;

private:
    std::u16string text_;
    size_t anchor_ = 0;
    size_t caret_ = 0;
};

// The keys an edit field gives a meaning, and what each means with Ctrl and Shift
// held: the one table for every edit field.
enum class EditKey { left, right, home, end, backspace, del, insert, letter_c, letter_v, letter_x };

struct EditKeyAction {
    enum Kind { none, move, erase_backward, erase_forward, copy, cut, paste };
    Kind kind = none;
    LineEdit::Motion motion = LineEdit::Motion::left;
};

EditKeyAction edit_key_action(EditKey key, bool ctrl, bool shift);

// A text fit for one line: each run of line breaks inside it becomes one space, line
// breaks at either end go, a tab becomes a space and other control characters are
// dropped.
std::u16string one_line(std::u16string_view text);

// The horizontal scroll (0 or less) that keeps a caret at caret_x visible in a box
// room pixels wide, starting from the current scroll: a text that fits starts at the
// left edge, and a scrolled text never leaves room empty at the right.
int keep_caret_visible(int scroll, int text_width, int caret_x, int room);

} // namespace liba
