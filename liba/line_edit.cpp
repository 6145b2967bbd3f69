#include "liba/line_edit.h"

#include <algorithm>

#include "liba/text.h"

namespace liba {

namespace {

bool is_white(char16_t c) { return c == u' ' || c == u'\u00A0' || c == u'\u3000'; }

bool is_line_break(char16_t c) { return c == u'\n' || c == u'\r'; }

} // namespace

std::u16string_view LineEdit::selected() const
{
    return std::u16string_view(text_).substr(selection_start(), selection_end() - selection_start());
}

size_t LineEdit::boundary(size_t index) const
{
    index = std::min(index, text_.size());
    if (index > 0 && index < text_.size() && is_high_surrogate(text_[index - 1]) && is_low_surrogate(text_[index]))
        --index;
    return index;
}

size_t LineEdit::next_boundary(size_t index) const
{
    index = boundary(index);
    if (index >= text_.size())
        return text_.size();
    const bool pair = index + 1 < text_.size() && is_high_surrogate(text_[index]) && is_low_surrogate(text_[index + 1]);
    return index + (pair ? 2 : 1);
}

size_t LineEdit::previous_boundary(size_t index) const
{
    index = boundary(index);
    return index == 0 ? 0 : boundary(index - 1);
}

bool LineEdit::set_text(std::u16string_view text)
{
    std::u16string line = one_line(text);
    const bool changed = line != text_;
    text_ = std::move(line);
    anchor_ = caret_ = text_.size();
    return changed;
}

void LineEdit::select(size_t anchor, size_t caret)
{
    anchor_ = boundary(anchor);
    caret_ = boundary(caret);
}

void LineEdit::select_word_at(size_t index)
{
    size_t start = boundary(index);
    size_t end = start;
    while (end < text_.size() && !is_white(text_[end]))
        ++end;
    while (end < text_.size() && is_white(text_[end]))
        ++end;
    while (start > 0 && !is_white(text_[start - 1]))
        --start;
    select(start, end);
}

void LineEdit::move(Motion motion, bool extend)
{
    size_t to = caret_;
    switch (motion) {
    case Motion::left:
        to = previous_boundary(caret_);
        break;
    case Motion::right:
        to = next_boundary(caret_);
        break;
    case Motion::word_left:
        while (to > 0 && is_white(text_[to - 1]))
            --to;
        while (to > 0 && !is_white(text_[to - 1]))
            --to;
        break;
    case Motion::word_right:
        while (to < text_.size() && !is_white(text_[to]))
            ++to;
        while (to < text_.size() && is_white(text_[to]))
            ++to;
        break;
    case Motion::home:
        to = 0;
        break;
    case Motion::end:
        to = text_.size();
        break;
    }
    caret_ = to;
    if (!extend)
        anchor_ = caret_;
}

bool LineEdit::replace_selection(std::u16string_view with)
{
    const std::u16string line = one_line(with);
    const size_t start = selection_start();
    const size_t count = selection_end() - start;
    const bool changed = count != 0 || !line.empty();
    text_.replace(start, count, line);
    anchor_ = caret_ = start + line.size();
    return changed;
}

bool LineEdit::erase_backward()
{
    if (!has_selection())
        anchor_ = previous_boundary(caret_);
    return erase_selection();
}

bool LineEdit::erase_forward()
{
    if (!has_selection())
        anchor_ = next_boundary(caret_);
    return erase_selection();
}

EditKeyAction edit_key_action(EditKey key, bool ctrl, bool shift)
{
    using Motion = LineEdit::Motion;
    switch (key) {
    case EditKey::letter_c:
        return {ctrl ? EditKeyAction::copy : EditKeyAction::none};
    case EditKey::letter_v:
        return {ctrl ? EditKeyAction::paste : EditKeyAction::none};
    case EditKey::letter_x:
        return {ctrl ? EditKeyAction::cut : EditKeyAction::none};
    case EditKey::insert:
        return {ctrl ? EditKeyAction::copy : shift ? EditKeyAction::paste : EditKeyAction::none};
    case EditKey::del:
        return {shift ? EditKeyAction::cut : EditKeyAction::erase_forward};
    case EditKey::backspace:
        return {EditKeyAction::erase_backward};
    case EditKey::left:
        return {EditKeyAction::move, ctrl ? Motion::word_left : Motion::left};
    case EditKey::right:
        return {EditKeyAction::move, ctrl ? Motion::word_right : Motion::right};
    case EditKey::home:
        return {EditKeyAction::move, Motion::home};
    case EditKey::end:
        return {EditKeyAction::move, Motion::end};
    }
    return {};
}

std::u16string one_line(std::u16string_view text)
{
    std::u16string line;
    line.reserve(text.size());
    bool pending_break = false;
    for (const char16_t c : text) {
        if (is_line_break(c)) {
            pending_break = !line.empty();
            continue;
        }
        if ((c < u' ' && c != u'\t') || c == u'\x7F')
            continue;
        if (pending_break)
            line += u' ';
        pending_break = false;
        line += c == u'\t' ? u' ' : c;
    }
    return line;
}

int keep_caret_visible(int scroll, int text_width, int caret_x, int room)
{
    if (text_width + scroll < room)
        scroll = room - text_width;
    if (scroll > 0)
        scroll = 0;
    if (caret_x + scroll < 0)
        scroll = -caret_x;
    if (caret_x + scroll > room)
        scroll = room - caret_x;
    return scroll;
}

} // namespace liba
