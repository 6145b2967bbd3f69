#include "skinner/core/container.h"

#include <algorithm>
#include <cstdint>

#include "liba/log.h"
#include "platform/base/keys.h"
#include "platform/window.h"
#include "skinner/core/auto_controls.h"
#include "skinner/core/form.h"
#include "skinner/core/key_codes.h"
#include "skinner/skin/device.h"
#include "skinner/skin/properties.h"

namespace skinner {

namespace {

struct AxisLayout {
    int position;
    int size;
};

// One axis of the anchor rule: design size D, actual size N, origin O, the skin's
// position P and size S. Computed wide, so that skins with huge numbers cannot
// overflow; a design size of 0 leaves RATIO and CENTER at the skin's place.
AxisLayout lay_out_axis(Anchor anchor, std::int64_t origin, std::int64_t position, std::int64_t size,
    std::int64_t design, std::int64_t actual)
{
    std::int64_t at = origin + position;
    std::int64_t length = size;
    switch (anchor) {
    case Anchor::both_side:
        length = size + actual - design;
        break;
    case Anchor::max_side:
        at = origin + actual + position - design;
        break;
    case Anchor::ratio:
        if (design != 0) {
            at = origin + actual * position / design;
            length = actual * (size + position) / design - actual * position / design;
        }
        break;
    case Anchor::center:
        if (design != 0)
            at = origin + actual * (position + size / 2) / design - size / 2;
        break;
    default:
        break;
    }
    const auto clamp = [](std::int64_t value) {
        return static_cast<int>(std::clamp<std::int64_t>(value, INT32_MIN / 2, INT32_MAX / 2));
    };
    return {clamp(at), clamp(length)};
}

bool overlaps(Point origin, Point size, Point other_origin, Point other_size)
{
    return origin.x < other_origin.x + other_size.x && other_origin.x < origin.x + size.x &&
        origin.y < other_origin.y + other_size.y && other_origin.y < origin.y + size.y;
}

void press(Control& control, PointerButton button, Point point, int flag)
{
    switch (button) {
    case LEFT_BUTTON:
        control.on_left_down(point, flag);
        break;
    case MIDDLE_BUTTON:
        control.on_middle_down(point, flag);
        break;
    case RIGHT_BUTTON:
        control.on_right_down(point, flag);
        break;
    }
}

void release(Control& control, PointerButton button, Point point, int flag)
{
    switch (button) {
    case LEFT_BUTTON:
        control.on_left_up(point, flag);
        break;
    case MIDDLE_BUTTON:
        control.on_middle_up(point, flag);
        break;
    case RIGHT_BUTTON:
        control.on_right_up(point, flag);
        break;
    }
}

} // namespace

Container::Container(Form* form, Properties& properties, std::u16string_view name, NodeMode mode, Listener* owner)
    : mode_(mode)
    , properties_(properties)
    , form_name_(mode == NodeMode::by_kind ? u"" : name)
    , kind_name_(mode == NodeMode::by_kind ? name : u"")
    , owner_(owner)
    , form_(form)
{
    read_design_size();
    size_ = design_size_;
}

Container::~Container() { delete_auto_controls(); }

void Container::read_design_size()
{
    design_size_ = {0, 0};
    if (form_name_.empty() || mode_ == NodeMode::unskinned)
        return;
    design_size_ = properties_.form_point(form_name_, u"Size", {0, 0});
    if (is_smartphone())
        design_size_ = properties_.form_point(form_name_, u"SizeNoButtons", design_size_);
}

void Container::delete_auto_controls()
{
    while (!auto_controls_.empty())
        auto_controls_.pop_back();
}

void Container::create_auto_controls()
{
    if (mode_ == NodeMode::unskinned || form_name_.empty())
        return;
    SkinReader& reader = properties_.impl().reader();
    const std::uint32_t count = reader.form_control_count(form_name_);
    for (std::uint32_t i = 0; i < count; ++i) {
        const auto [name, class_name] = reader.form_control_entry(form_name_, i);
        if (auto control = create_auto_control(*this, class_name, name))
            auto_controls_.push_back(std::move(control));
    }
}

void Container::register_control(Control& control)
{
    if (!control.id().empty() && find_control(control.id()))
        liba::fatal_error(
            u"Container::register_control", u"control with id {" + control.id() + u"} already exists in container");
    const auto at = std::find_if(controls_.begin(), controls_.end(),
        [&control](const Control* other) { return other->z_order() >= control.z_order(); });
    controls_.insert(at, &control);
    lay_out(control);
}

void Container::unregister_control(Control& control)
{
    if (focused_ == &control)
        focused_ = nullptr;
    if (captured_ == &control) {
        captured_ = nullptr;
        std::fill(std::begin(pressed_), std::end(pressed_), false);
    }
    if (hovered_ == &control)
        hovered_ = nullptr;
    control.stop_timer();
    std::erase(controls_, &control);
}

void Container::sort_by_z_order()
{
    std::stable_sort(controls_.begin(), controls_.end(),
        [](const Control* a, const Control* b) { return a->z_order() < b->z_order(); });
}

void Container::lay_out(Control& control) const
{
    const AxisLayout x = lay_out_axis(
        control.anchor_x(), origin_.x, control.skin_position().x, control.skin_size().x, design_size_.x, size_.x);
    const AxisLayout y = lay_out_axis(
        control.anchor_y(), origin_.y, control.skin_position().y, control.skin_size().y, design_size_.y, size_.y);
    control.set_rectangle({x.position, y.position}, {x.size, y.size});
}

Control* Container::find_control(std::u16string_view id) const
{
    const auto found =
        std::find_if(controls_.begin(), controls_.end(), [id](const Control* control) { return control->id() == id; });
    return found == controls_.end() ? nullptr : *found;
}

void Container::set_rectangle(Point origin, Point size)
{
    origin_ = origin;
    size_ = size;
    // A copy: a control may hide or show others while it is placed.
    for (Control* control : std::vector<Control*>(controls_))
        lay_out(*control);
}

Point Container::needed_size() const
{
    Point needed = design_size_;
    for (const Control* control : controls_) {
        const Point wanted = control->needed_size();
        if (control->anchor_x() == Anchor::both_side)
            needed.x = std::max(needed.x, design_size_.x + wanted.x - control->skin_size().x);
        if (control->anchor_y() == Anchor::both_side)
            needed.y = std::max(needed.y, design_size_.y + wanted.y - control->skin_size().y);
    }
    return needed;
}

void Container::paint(CanvasImpl& canvas, Point update_origin, Point update_size)
{
    for (Control* control : std::vector<Control*>(controls_)) {
        if (control->effectively_visible() &&
            overlaps(control->position(), control->size(), update_origin, update_size))
            control->draw(canvas, update_origin, update_size);
    }
}

Control* Container::control_at(Point point) const
{
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        if ((*it)->effectively_visible() && (*it)->hit_test(point))
            return *it;
    }
    return nullptr;
}

bool Container::set_hovered(Control* control)
{
    bool became_hovered = false;
    if (control != hovered_) {
        if (Control* old = std::exchange(hovered_, control)) {
            old->on_pointer_left();
            old->invalidate();
        }
        if (control) {
            control->on_pointer_entered();
            control->invalidate();
            became_hovered = true;
        }
    }
    const int cursor = hovered_ ? hovered_->cursor() : 0;
    platform::set_cursor(cursor != 0 ? cursor : platform::cursors::arrow);
    return became_hovered;
}

void Container::pointer_moved(Point point)
{
    last_point_ = point;
    if (captured_) {
        captured_->on_pointer_moved(point);
        return;
    }
    Control* under = control_at(point);
    if (under && under->effectively_enabled()) {
        const bool became_hovered = set_hovered(under);
        under->on_pointer_moved(point);
        if (became_hovered)
            under->invalidate();
    } else {
        set_hovered(nullptr);
    }
}

void Container::pointer_left()
{
    if (!captured_)
        set_hovered(nullptr);
}

void Container::button_down(PointerButton button, Point point, int flag)
{
    last_point_ = point;
    if (!captured_) {
        Control* under = control_at(point);
        if (!under)
            return;
        if (!under->effectively_enabled()) {
            set_hovered(nullptr);
            return;
        }
        set_hovered(under);
        captured_ = under;
        if (under->wants_focus())
            set_focus(under);
        // Taking the focus may have destroyed or hidden the control.
        if (!captured_)
            return;
    }
    pressed_[button] = true;
    press(*captured_, button, point, flag);
}

void Container::button_up(PointerButton button, Point point, int flag)
{
    last_point_ = point;
    if (!captured_)
        return;
    pressed_[button] = false;
    release(*captured_, button, point, flag);
    if (captured_ && std::none_of(std::begin(pressed_), std::end(pressed_), [](bool pressed) { return pressed; }))
        captured_ = nullptr;
}

void Container::pointer_event(Point point, int value)
{
    if (captured_) {
        captured_->on_pointer_event(point, value);
        return;
    }
    Control* under = control_at(point);
    if (under && under->effectively_enabled())
        under->on_pointer_event(point, value);
}

bool Container::move_focus(bool forward)
{
    std::vector<Control*> candidates;
    for (Control* control : controls_)
        if (control->wants_focus() && control->effectively_visible() && control->effectively_enabled())
            candidates.push_back(control);
    std::stable_sort(candidates.begin(), candidates.end(),
        [](const Control* a, const Control* b) { return a->tab_order() < b->tab_order(); });
    if (candidates.empty()) {
        set_focus(nullptr);
        return false;
    }
    const auto at = std::find(candidates.begin(), candidates.end(), focused_);
    if (forward) {
        if (at == candidates.end()) {
            set_focus(candidates.front());
            return true;
        }
        if (at + 1 == candidates.end()) {
            set_focus(candidates.front());
            return false;
        }
        set_focus(*(at + 1));
        return true;
    }
    if (at == candidates.begin()) {
        set_focus(candidates.back());
        return false;
    }
    set_focus(at == candidates.end() ? candidates.back() : *(at - 1));
    return true;
}

void Container::set_focus(Control* control)
{
    if (control == focused_)
        return;
    if (active_ && focused_)
        focused_->on_focus_lost();
    focused_ = control;
    if (active_ && focused_)
        focused_->on_focus_gained();
}

void Container::set_active(bool active)
{
    if (active == active_)
        return;
    active_ = active;
    if (!active_) {
        if (focused_)
            focused_->on_focus_lost();
        return;
    }
    if (!focused_)
        move_focus(true);
    else
        focused_->on_focus_gained();
}

bool Container::on_text(std::u16string_view text) { return focused_ && focused_->on_text(text); }

bool Container::on_key_down(int code)
{
    if (focused_ && focused_->on_key_down(code, 0))
        return true;
    switch (code) {
    case key::down:
        return move_focus(true);
    case key::up:
        return move_focus(false);
    case key::tab:
        if (modifier_down(key::ctrl) || modifier_down(key::alt))
            return false;
        return move_focus(!modifier_down(key::shift));
    default:
        return false;
    }
}

bool Container::on_key_up(int code) { return focused_ && focused_->on_key_up(code, 0); }

void Container::on_timer_message(int id)
{
    for (Control* control : std::vector<Control*>(controls_))
        control->on_timer_message(id, 0);
}

void Container::release_all_buttons()
{
    if (!captured_)
        return;
    for (const PointerButton button : {LEFT_BUTTON, MIDDLE_BUTTON, RIGHT_BUTTON}) {
        pressed_[button] = false;
        if (captured_)
            release(*captured_, button, last_point_, 0);
    }
    captured_ = nullptr;
}

void Container::set_enabled(bool enabled)
{
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    if (!enabled_) {
        set_hovered(nullptr);
        release_all_buttons();
    }
    for (Control* control : std::vector<Control*>(controls_)) {
        if (control->enabled()) {
            control->on_enabled(control->effectively_enabled());
            control->invalidate();
        }
    }
}

void Container::set_visible(bool visible)
{
    if (visible == visible_)
        return;
    visible_ = visible;
    for (Control* control : std::vector<Control*>(controls_))
        if (control->visible())
            control->on_shown(control->effectively_visible());
}

void Container::reload_skin()
{
    delete_auto_controls();
    read_design_size();
    create_auto_controls();
    for (Control* control : std::vector<Control*>(controls_))
        control->reload_properties();
    sort_by_z_order();
}

int Container::form_integer(std::u16string_view name, int default_value) const
{
    return properties_.form_integer(form_name_, name, default_value);
}

Point Container::form_point(std::u16string_view name, Point default_value) const
{
    return properties_.form_point(form_name_, name, default_value);
}

Picture Container::form_picture(std::u16string_view name, const Picture& default_value) const
{
    return properties_.form_picture(form_name_, name, default_value);
}

} // namespace skinner
