#include "skinner/controls/control_edit.h"

#include <algorithm>

#include "liba/log.h"
#include "platform/font.h"
#include "platform/line_layout.h"
#include "platform/shell.h"
#include "platform/window.h"
#include "skinner/controls/control_edit_native.h"
#include "skinner/core/container.h"
#include "skinner/core/form.h"
#include "skinner/core/key_codes.h"
#include "skinner/draw/canvas.h"
#include "skinner/skin/device.h"
#include "skinner/skin/properties.h"

namespace skinner {

namespace {

constexpr double blink_tick_seconds = 0.05;
constexpr int blink_period = 10; // ticks: half of them with the caret shown

constexpr int letter(char c) { return key::letter_a + (c - 'A'); }

struct EditKeyName {
    int code;
    liba::EditKey key;
};

constexpr EditKeyName edit_keys[] = {
    {key::left, liba::EditKey::left},
    {key::right, liba::EditKey::right},
    {key::home, liba::EditKey::home},
    {key::end, liba::EditKey::end},
    {key::backspace, liba::EditKey::backspace},
    {key::del, liba::EditKey::del},
    {key::insert, liba::EditKey::insert},
    {letter('C'), liba::EditKey::letter_c},
    {letter('V'), liba::EditKey::letter_v},
    {letter('X'), liba::EditKey::letter_x},
};

// The context menu, in its order; each command's item text comes from the language
// file under its id.
struct MenuEntry {
    std::u16string_view id;
    std::u16string_view default_text;
    EditCommand command;
};

constexpr MenuEntry menu_entries[] = {
    {u"menuCut", u"Cut", EditCommand::cut},
    {u"menuCopy", u"Copy", EditCommand::copy},
    {u"menuPaste", u"Paste", EditCommand::paste},
    {u"menuDelete", u"Delete", EditCommand::erase},
    {u"menuSelectAll", u"Select All", EditCommand::select_all},
};

std::unique_ptr<ControlEditImpl> make_impl(ControlEdit& edit)
{
    if (is_smartphone())
        return std::make_unique<ControlEditNativeImpl>(edit);
    return std::make_unique<ControlEditImpl>();
}

} // namespace

ControlEdit::ControlEdit(Container& container, std::u16string_view name, NodeMode mode)
    : Control(container, name, mode)
{
    edit_.set_text(string(u"Text", u""));
    start_timer(blink_tick_seconds);
    read_edit_properties();
}

ControlEdit::~ControlEdit()
{
    stop_timer();
    impl_.reset();
}

void ControlEdit::read_edit_properties()
{
    impl_.reset();
    border_min_ = point(u"BorderMin", {0, 0});
    border_max_ = point(u"BorderMax", border_min_);
    input_mode_ = string(u"InputMode", input_mode_);
    caret_width_ = 1;
    picture_normal_ = picture(u"Normal", Picture());
    picture_highlighted_ = picture(u"Highlighted", picture_normal_);
    picture_disabled_ = picture(u"Disabled", picture_normal_);
    picture_readonly_ = picture(u"Readonly", picture_disabled_);
    picture_selection_ = picture(u"Selection", Picture());
    font_normal_ = font(u"Normal", Font(properties().scale()));
    font_disabled_ = font(u"Disabled", font_normal_);
    font_readonly_ = font(u"Readonly", font_disabled_);
    colour_normal_ = colour(u"Normal", {});
    colour_disabled_ = colour(u"Disabled", colour_normal_);
    colour_readonly_ = colour(u"Readonly", colour_disabled_);
    colour_selection_ = colour(u"Selection", colour_normal_);
    readonly_ = integer(u"Readonly", readonly_) != 0;
    const std::u16string password =
        string(u"PasswordChar", password_char_ ? std::u16string(1, password_char_) : std::u16string());
    password_char_ = password.empty() ? 0 : password[0];

    impl_ = make_impl(*this);
    impl_->set_rectangle(position(), size());
    impl_->set_input_mode(input_mode_);
    impl_->set_readonly(readonly_);
    impl_->set_password_char(password_char_);
    impl_->set_text(edit_.text());
    impl_->set_shown(effectively_visible());
    // A new platform window takes over the keys of the focused field.
    if (container().shows_focus(*this))
        impl_->focus_gained();
}

void ControlEdit::reload_properties()
{
    Control::reload_properties();
    read_edit_properties();
}

void ControlEdit::set_text(std::u16string_view text)
{
    liba::LineEdit next;
    next.set_text(text);
    if (next.text() == edit_.text())
        return;
    edit_.select_all();
    edit_.replace_selection(next.text());
    report_text_changed();
    if (impl_)
        impl_->set_text(edit_.text());
    invalidate();
}

void ControlEdit::set_selection(size_t first, size_t last)
{
    edit_.select(first, last);
    if (impl_)
        impl_->set_selection(edit_.anchor(), edit_.caret());
    invalidate();
}

bool ControlEdit::take_native_text(std::u16string_view text)
{
    if (text == edit_.text())
        return false;
    edit_.set_text(text);
    report_text_changed();
    return true;
}

size_t ControlEdit::caret() const
{
    size_t anchor = 0;
    size_t caret = 0;
    return impl_ && impl_->selection(anchor, caret) ? caret : edit_.caret();
}

size_t ControlEdit::anchor() const
{
    size_t anchor = 0;
    size_t caret = 0;
    return impl_ && impl_->selection(anchor, caret) ? anchor : edit_.anchor();
}

void ControlEdit::follow_selection()
{
    size_t anchor = 0;
    size_t caret = 0;
    if (impl_->selection(anchor, caret))
        edit_.select(anchor, caret);
}

void ControlEdit::report_text_changed() { on_text_changed(this); }

void ControlEdit::report_action() { on_click(this, 0); }

void ControlEdit::edited(bool changed)
{
    if (changed) {
        report_text_changed();
        impl_->set_text(edit_.text());
    }
    impl_->set_selection(edit_.anchor(), edit_.caret());
    invalidate();
}

bool ControlEdit::can(EditCommand command) const
{
    const bool selection = edit_.has_selection();
    switch (command) {
    case EditCommand::cut:
        return selection && !readonly_ && !password_char_;
    case EditCommand::copy:
        return selection && !password_char_;
    case EditCommand::paste:
        return !readonly_;
    case EditCommand::erase:
        return selection && !readonly_;
    case EditCommand::select_all:
        return edit_.length() != 0 && !edit_.all_selected();
    }
    return false;
}

void ControlEdit::perform(EditCommand command)
{
    follow_selection();
    if (!can(command))
        return;
    switch (command) {
    case EditCommand::cut:
        copy_selection();
        edited(edit_.erase_selection());
        break;
    case EditCommand::copy:
        copy_selection();
        break;
    case EditCommand::paste:
        paste();
        break;
    case EditCommand::erase:
        edited(edit_.erase_selection());
        break;
    case EditCommand::select_all:
        edit_.select_all();
        edited(false);
        break;
    }
}

void ControlEdit::copy_selection() const { platform::set_clipboard_text(edit_.selected()); }

void ControlEdit::paste()
{
    const std::u16string pasted = platform::clipboard_text();
    if (pasted.empty())
        return;
    edited(edit_.replace_selection(pasted));
}

void ControlEdit::show_context_menu(Point at)
{
    Form* owner = form();
    if (!owner)
        return;
    follow_selection();
    std::vector<platform::PopupItem> items;
    for (const MenuEntry& entry : menu_entries) {
        platform::PopupItem item;
        item.text = translate(entry.id, entry.default_text);
        item.command = static_cast<std::uint32_t>(items.size() + 1);
        item.enabled = can(entry.command);
        item.separator_after = entry.command == EditCommand::erase && &entry != std::end(menu_entries) - 1;
        items.push_back(std::move(item));
    }
    const platform::Rect window = platform::screen_rect(owner->window());
    const std::uint32_t chosen = platform::track_popup_menu(items, {window.x + at.x, window.y + at.y}, owner->window());
    if (chosen >= 1 && chosen <= items.size())
        perform(menu_entries[chosen - 1].command);
}

bool ControlEdit::on_window_activation() { return impl_->activate(); }

void ControlEdit::on_focus_gained()
{
    Control::on_focus_gained();
    impl_->focus_gained();
}

void ControlEdit::on_focus_lost()
{
    blink_ = 0;
    Control::on_focus_lost();
    impl_->focus_lost();
}

void ControlEdit::on_shown(bool shown)
{
    if (impl_)
        impl_->set_shown(shown);
}

void ControlEdit::set_rectangle(Point position, Point size)
{
    if (impl_)
        impl_->set_rectangle(position, size);
    Control::set_rectangle(position, size);
}

std::u16string ControlEdit::loggable(std::u16string_view text) const
{
    if (!password_char_)
        return std::u16string(text);
    return std::u16string(text.size(), password_char_);
}

bool ControlEdit::caret_visible() const
{
    return container().shows_focus(*this) && blink_ < blink_period / 2 && !selecting_;
}

ControlEdit::Look ControlEdit::look() const
{
    if (readonly_)
        return Look::readonly;
    if (!effectively_enabled())
        return Look::disabled;
    return is_focused() ? Look::highlighted : Look::normal;
}

const Picture& ControlEdit::look_picture(Look look) const
{
    switch (look) {
    case Look::readonly:
        return picture_readonly_;
    case Look::disabled:
        return picture_disabled_;
    case Look::highlighted:
        return picture_highlighted_;
    default:
        return picture_normal_;
    }
}

const Font& ControlEdit::look_font(Look look) const
{
    switch (look) {
    case Look::readonly:
        return font_readonly_;
    case Look::disabled:
        return font_disabled_;
    default:
        return font_normal_;
    }
}

platform::LineLayout ControlEdit::lay_out_text(const Font& font) const
{
    return platform::lay_out_line(font.face(), edit_, password_char_);
}

size_t ControlEdit::index_at(Point point) const
{
    return lay_out_text(look_font(look())).index_at(point.x - position().x - border_min_.x - scroll_);
}

Point ControlEdit::caret_point() const
{
    const platform::LineLayout layout = lay_out_text(look_font(look()));
    const int inner_height = size().y - border_min_.y - border_max_.y;
    return {position().x + border_min_.x + scroll_ + layout.x[edit_.caret()],
        position().y + border_min_.y + inner_height / 2};
}

void ControlEdit::draw(CanvasImpl& canvas, Point update_origin, Point update_size)
{
    if (!impl_->draws_itself()) {
        Control::draw(canvas, update_origin, update_size);
        return;
    }
    const Look state = look();
    const Picture& background = look_picture(state);
    const Colour ink = state == Look::readonly ? colour_readonly_
        : state == Look::disabled              ? colour_disabled_
                                               : colour_normal_;
    const Font& font = look_font(state);
    canvas.draw_picture(background, position(), position() + size());

    const platform::LineLayout layout = lay_out_text(font);
    const Point origin = position() + border_min_;
    const Point inner = size() - border_min_ - border_max_;
    const size_t caret = edit_.caret();
    const size_t anchor = edit_.anchor();
    const int text_width = layout.width();
    const int caret_x = layout.x[caret];
    scroll_ = liba::keep_caret_visible(scroll_, text_width, caret_x, inner.x - caret_width_);

    canvas.push_clip(origin, inner);
    // The selection, widened by the caret on the caret's side: alone it is the caret.
    const int c = caret_visible() ? caret_width_ : 0;
    const int k = caret < anchor ? c : 0;
    const int l = caret >= anchor ? c : 0;
    const int left = layout.x[edit_.selection_start()] + k + scroll_;
    const int right = layout.x[edit_.selection_end()] + l + scroll_;
    const int x0 = std::max(0, left);
    const int width = std::min(right, inner.x) - x0;
    if (width > 0)
        canvas.draw_picture(picture_selection_, {origin.x + x0, origin.y}, {origin.x + x0 + width, origin.y + inner.y});

    const auto shown = [&](size_t from, size_t to) { return layout.shown_between(from, to); };
    // Before the caret, right-aligned against it.
    const int before = scroll_ + caret_x;
    if (anchor < caret) {
        const std::u16string_view selected = shown(anchor, caret);
        canvas.draw_text(font, colour_selection_, selected, origin, {before, inner.y}, RIGHT, VCENTER);
        const int rest = before - canvas.measure_text(font, selected).x;
        if (rest > 0)
            canvas.draw_text(font, ink, shown(0, anchor), origin, {rest, inner.y}, RIGHT, VCENTER);
    } else {
        canvas.draw_text(font, ink, shown(0, caret), origin, {before, inner.y}, RIGHT, VCENTER);
    }
    // After the caret, left-aligned from it.
    Point after{origin.x + before, origin.y};
    const int after_width = inner.x - before;
    if (caret < anchor) {
        const std::u16string_view selected = shown(caret, anchor);
        canvas.draw_text(font, colour_selection_, selected, after, {after_width, inner.y}, LEFT, VCENTER);
        const int used = canvas.measure_text(font, selected).x;
        canvas.draw_text(font, ink, shown(anchor, edit_.length()), {after.x + used, after.y},
            {after_width - used, inner.y}, LEFT, VCENTER);
    } else {
        canvas.draw_text(font, ink, shown(caret, edit_.length()), after, {after_width, inner.y}, LEFT, VCENTER);
    }
    canvas.pop_clip();
    Control::draw(canvas, update_origin, update_size);
}

bool ControlEdit::hit_test(Point point) const
{
    if (!impl_->draws_itself())
        return false;
    const Picture& background = look_picture(look());
    return !background.is_transparent(point, position(), position() + size());
}

void ControlEdit::on_left_down(Point point, int flag)
{
    if (!impl_->draws_itself())
        return;
    selecting_ = true;
    const size_t at = index_at(point);
    if (flag)
        edit_.select_word_at(at);
    else
        edit_.select(at, at);
    press_point_ = point;
    invalidate();
}

void ControlEdit::on_pointer_moved(Point point)
{
    if (!selecting_)
        return;
    edit_.select(edit_.anchor(), index_at(point));
    invalidate();
}

void ControlEdit::on_left_up(Point point, int)
{
    if (!selecting_)
        return;
    selecting_ = false;
    if (point != press_point_)
        edit_.select(edit_.anchor(), index_at(point));
    report_action();
    invalidate();
    blink_ = 0;
}

void ControlEdit::on_right_up(Point point, int) { show_context_menu(point); }

bool ControlEdit::on_text(std::u16string_view text)
{
    if (!impl_->draws_itself())
        return false;
    liba::log() << u"on_text" << loggable(text) << u"\n";
    if (readonly_)
        return false;
    if (selecting_)
        return true;
    if (text.empty()) {
        set_text(u"");
        return true;
    }
    blink_ = 0;
    edited(edit_.replace_selection(text));
    return true;
}

bool ControlEdit::on_key_down(int key, int)
{
    if (!impl_->draws_itself() || selecting_)
        return false;
    if (key == key::applications) {
        show_context_menu(caret_point());
        return true;
    }
    const auto entry = std::find_if(
        std::begin(edit_keys), std::end(edit_keys), [key](const EditKeyName& name) { return name.code == key; });
    if (entry == std::end(edit_keys))
        return false;
    const bool shift = modifier_down(key::shift);
    const liba::EditKeyAction action = liba::edit_key_action(entry->key, modifier_down(key::ctrl), shift);
    switch (action.kind) {
    case liba::EditKeyAction::none:
        return false;
    case liba::EditKeyAction::move:
        edit_.move(action.motion, shift);
        blink_ = 0;
        invalidate();
        break;
    case liba::EditKeyAction::erase_backward:
    case liba::EditKeyAction::erase_forward:
        if (!readonly_)
            edited(action.kind == liba::EditKeyAction::erase_backward ? edit_.erase_backward() : edit_.erase_forward());
        break;
    case liba::EditKeyAction::copy:
        perform(EditCommand::copy);
        break;
    case liba::EditKeyAction::cut:
        perform(EditCommand::cut);
        break;
    case liba::EditKeyAction::paste:
        perform(EditCommand::paste);
        break;
    }
    return true;
}

void ControlEdit::on_timer(int, int)
{
    if (!impl_->draws_itself() || !container().shows_focus(*this))
        return;
    const bool was_shown = blink_ < blink_period / 2;
    blink_ = (blink_ + 1) % blink_period;
    if ((blink_ < blink_period / 2) != was_shown)
        invalidate();
}

} // namespace skinner
