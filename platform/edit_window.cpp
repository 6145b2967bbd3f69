#include "platform/edit_window.h"

#include <algorithm>
#include <memory>

#include "liba/line_edit.h"
#include "platform/base/keys.h"
#include "platform/font.h"
#include "platform/input.h"
#include "platform/line_layout.h"
#include "platform/shell.h"

namespace platform {

namespace {

constexpr Colour border_colour{0, 0, 0};
constexpr Colour field_colour{255, 255, 255};
constexpr Colour readonly_colour{232, 232, 232};
constexpr Colour text_colour{0, 0, 0};
constexpr Colour selection_colour{16, 64, 160};
constexpr Colour selected_text_colour{255, 255, 255};
constexpr int inset = 3; // the border and the room between it and the text
constexpr std::uintptr_t blink_timer = 1;
constexpr std::uint32_t blink_milliseconds = 250;

struct KeyName {
    std::uint32_t virtual_key;
    liba::EditKey key;
};

constexpr KeyName edit_keys[] = {
    {keys::left, liba::EditKey::left},
    {keys::right, liba::EditKey::right},
    {keys::home, liba::EditKey::home},
    {keys::end, liba::EditKey::end},
    {keys::backspace, liba::EditKey::backspace},
    {keys::del, liba::EditKey::del},
    {keys::insert, liba::EditKey::insert},
    {'C', liba::EditKey::letter_c},
    {'V', liba::EditKey::letter_v},
    {'X', liba::EditKey::letter_x},
};

// The state of one edit window; its procedure owns it.
class EditWindow {
public:
    std::intptr_t handle(const Message& m);

private:
    Rect client() const;
    const Font* font();
    LineLayout layout() { return lay_out_line(font(), edit_, password_char_); }
    size_t index_at(Point point) { return layout().index_at(point.x - inset - scroll_); }
    void paint();
    void on_key(std::uint32_t virtual_key);
    void insert(std::u16string_view typed);
    void copy() const;
    void paste();
    void cut();
    // After an edit: tell the parent when the text changed, show the caret, redraw.
    void edited(bool changed);
    void restart_blink();

    WindowHandle window_ = no_window;
    liba::LineEdit edit_;
    bool readonly_ = false;
    char16_t password_char_ = 0;
    std::uintptr_t input_mode_ = input_mode_text;
    int scroll_ = 0;
    bool focused_ = false;
    bool caret_shown_ = true;
    bool selecting_ = false;
    Point press_point_;
    std::shared_ptr<Font> font_;
    int font_for_height_ = -1;
};

Rect EditWindow::client() const
{
    const Rect rect = window_rect(window_);
    return {0, 0, rect.width, rect.height};
}

const Font* EditWindow::font()
{
    // The platform's own face, sized to the window.
    const int height = client().height;
    if (!font_ || font_for_height_ != height) {
        font_ = Font::create({-std::clamp(height / 2, 10, 32), 400, false, false, u"Tahoma"});
        if (!font_)
            font_ = Font::stock();
        font_for_height_ = height;
    }
    return font_.get();
}

void EditWindow::restart_blink()
{
    caret_shown_ = true;
    if (focused_)
        set_timer(window_, blink_timer, blink_milliseconds);
}

void EditWindow::edited(bool changed)
{
    restart_blink();
    invalidate(window_);
    if (changed)
        send_message(parent_window(window_), messages::command, std::uintptr_t{edit_change} << 16,
            static_cast<std::intptr_t>(window_));
}

void EditWindow::insert(std::u16string_view typed)
{
    if (readonly_)
        return;
    std::u16string kept(typed);
    if (input_mode_ == input_mode_numbers)
        kept.erase(std::remove_if(kept.begin(), kept.end(), [](char16_t c) { return c < u'0' || c > u'9'; }),
            kept.end());
    if (!kept.empty())
        edited(edit_.replace_selection(kept));
}

void EditWindow::copy() const
{
    if (edit_.has_selection() && !password_char_)
        set_clipboard_text(edit_.selected());
}

void EditWindow::paste()
{
    if (readonly_)
        return;
    const std::u16string pasted = clipboard_text();
    if (!pasted.empty())
        edited(edit_.replace_selection(pasted));
}

void EditWindow::cut()
{
    if (readonly_ || password_char_ || !edit_.has_selection())
        return;
    copy();
    edited(edit_.erase_selection());
}

void EditWindow::on_key(std::uint32_t virtual_key)
{
    const auto entry = std::find_if(std::begin(edit_keys), std::end(edit_keys),
        [virtual_key](const KeyName& name) { return name.virtual_key == virtual_key; });
    if (entry == std::end(edit_keys) || selecting_)
        return;
    const bool shift = modifier_down(keys::shift);
    const liba::EditKeyAction action = liba::edit_key_action(entry->key, modifier_down(keys::control), shift);
    switch (action.kind) {
    case liba::EditKeyAction::none:
        return;
    case liba::EditKeyAction::move:
        edit_.move(action.motion, shift);
        edited(false);
        break;
    case liba::EditKeyAction::erase_backward:
        if (!readonly_)
            edited(edit_.erase_backward());
        break;
    case liba::EditKeyAction::erase_forward:
        if (!readonly_)
            edited(edit_.erase_forward());
        break;
    case liba::EditKeyAction::copy:
        copy();
        break;
    case liba::EditKeyAction::cut:
        cut();
        break;
    case liba::EditKeyAction::paste:
        paste();
        break;
    }
}

void EditWindow::paint()
{
    PaintSession session(window_);
    DeviceContext& dc = session.context();
    const Rect all = client();
    dc.fill(all, border_colour);
    dc.fill({1, 1, all.width - 2, all.height - 2}, readonly_ ? readonly_colour : field_colour);
    const Rect inner{inset, 1, all.width - 2 * inset, all.height - 2};
    if (inner.width <= 0 || inner.height <= 0)
        return;
    const LineLayout line = layout();
    scroll_ = liba::keep_caret_visible(scroll_, line.width(), line.x[edit_.caret()], inner.width - 1);
    const Font* face = font();
    const int text_y = face ? (all.height - face->metrics().height) / 2 : 0;
    const Rect clip = dc.clip();
    dc.set_clip(clip.intersected(inner));
    if (face)
        dc.draw_text(*face, {inner.x + scroll_, text_y}, line.shown, text_colour);
    // As the platform's edit windows do, the selection shows only with the focus.
    if (focused_ && edit_.has_selection()) {
        const int left = inner.x + scroll_ + line.x[edit_.selection_start()];
        const int right = inner.x + scroll_ + line.x[edit_.selection_end()];
        dc.fill({left, inner.y, right - left, inner.height}, selection_colour);
        if (face)
            dc.draw_text(*face, {left, text_y}, line.shown_between(edit_.selection_start(), edit_.selection_end()),
                selected_text_colour);
    }
    if (focused_ && caret_shown_)
        dc.fill({inner.x + scroll_ + line.x[edit_.caret()], inner.y + 1, 1, inner.height - 2}, text_colour);
    dc.set_clip(clip);
}

std::intptr_t EditWindow::handle(const Message& m)
{
    window_ = m.window;
    switch (m.message) {
    case messages::paint:
        paint();
        return 0;
    case messages::erase_background:
        return 1;
    case edit_messages::set_text: {
        const auto* text = reinterpret_cast<const char16_t*>(m.lparam);
        edited(edit_.set_text(text ? std::u16string_view(text) : std::u16string_view()));
        return 1;
    }
    case edit_messages::get_text_length:
        return static_cast<std::intptr_t>(edit_.length());
    case edit_messages::get_text: {
        auto* buffer = reinterpret_cast<char16_t*>(m.lparam);
        if (!buffer || m.wparam == 0)
            return 0;
        const size_t count = std::min<size_t>(m.wparam - 1, edit_.length());
        std::copy_n(edit_.text().begin(), count, buffer);
        buffer[count] = 0;
        return static_cast<std::intptr_t>(count);
    }
    case edit_messages::get_selection:
        if (auto* anchor = reinterpret_cast<std::uint32_t*>(m.wparam))
            *anchor = static_cast<std::uint32_t>(edit_.anchor());
        if (auto* caret = reinterpret_cast<std::uint32_t*>(m.lparam))
            *caret = static_cast<std::uint32_t>(edit_.caret());
        return 0;
    case edit_messages::set_selection:
        edit_.select(m.wparam, m.lparam < 0 ? edit_.length() : static_cast<size_t>(m.lparam));
        edited(false);
        return 0;
    case edit_messages::set_password_char:
        password_char_ = static_cast<char16_t>(m.wparam);
        invalidate(window_);
        return 0;
    case edit_messages::first_visible: {
        const LineLayout line = layout();
        for (const size_t boundary : line.boundaries)
            if (line.x[boundary] + scroll_ >= 0)
                return static_cast<std::intptr_t>(boundary);
        return static_cast<std::intptr_t>(edit_.length());
    }
    case edit_messages::set_readonly:
        readonly_ = m.wparam != 0;
        invalidate(window_);
        return 1;
    case edit_messages::get_input_mode:
        return static_cast<std::intptr_t>(input_mode_);
    case edit_messages::set_input_mode:
        input_mode_ = m.wparam;
        return 1;
    case edit_messages::cut:
        cut();
        return 0;
    case edit_messages::copy:
        copy();
        return 0;
    case edit_messages::paste:
        paste();
        return 0;
    case edit_messages::clear:
        if (!readonly_)
            edited(edit_.erase_selection());
        return 0;
    case messages::set_focus:
        focused_ = true;
        restart_blink();
        invalidate(window_);
        return 0;
    case messages::kill_focus:
        focused_ = false;
        selecting_ = false;
        kill_timer(window_, blink_timer);
        invalidate(window_);
        return 0;
    case messages::timer:
        if (m.wparam == blink_timer) {
            caret_shown_ = !caret_shown_;
            invalidate(window_);
        }
        return 0;
    case messages::key_down:
        on_key(static_cast<std::uint32_t>(m.wparam));
        return 0;
    case messages::character:
        if (m.wparam >= 32)
            insert(std::u16string(1, static_cast<char16_t>(m.wparam)));
        return 0;
    case messages::ime_composition:
        insert(composition_result());
        return 0;
    case messages::left_down:
    case messages::left_double_click: {
        if (focus_window() != window_)
            set_focus(window_);
        press_point_ = {point_param_x(m.lparam), point_param_y(m.lparam)};
        const size_t at = index_at(press_point_);
        if (m.message == messages::left_double_click)
            edit_.select_word_at(at);
        else
            edit_.select(at, at);
        selecting_ = true;
        set_capture(window_);
        edited(false);
        return 0;
    }
    case messages::mouse_move:
        if (selecting_) {
            edit_.select(edit_.anchor(), index_at({point_param_x(m.lparam), point_param_y(m.lparam)}));
            edited(false);
        }
        return 0;
    case messages::left_up:
        if (selecting_) {
            const Point point{point_param_x(m.lparam), point_param_y(m.lparam)};
            if (point != press_point_)
                edit_.select(edit_.anchor(), index_at(point));
            edited(false);
            selecting_ = false;
            if (capture_window() == window_)
                release_capture();
        }
        return 0;
    case messages::capture_changed:
        selecting_ = false;
        return 0;
    default:
        return default_window_procedure(m);
    }
}

} // namespace

WindowHandle create_edit_window(WindowSpec description)
{
    description.class_name = edit_class;
    auto state = std::make_shared<EditWindow>();
    description.procedure = [state](const Message& m) { return state->handle(m); };
    return create_window(description);
}

} // namespace platform
