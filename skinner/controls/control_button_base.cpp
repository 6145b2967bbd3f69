#include "skinner/controls/control_button_base.h"

#include "skinner/controls/alignment_words.h"
#include "skinner/controls/button_action.h"
#include "skinner/core/container.h"
#include "skinner/core/key_codes.h"
#include "skinner/skin/properties.h"

namespace skinner {

namespace {

constexpr std::u16string_view state_words[] = {u"Normal", u"Pressed", u"Highlighted", u"Disabled"};

} // namespace

ControlButtonBase::ControlButtonBase(Container& container, std::u16string_view name, NodeMode mode)
    : Control(container, name, mode)
{
    read_button_properties();
}

ControlButtonBase::~ControlButtonBase() = default;

ButtonLooks ControlButtonBase::read_looks(std::u16string_view base) const
{
    const std::u16string prefix(base);
    ButtonLooks looks;
    const Look empty{Picture(), Font(properties().scale()), Colour{}};
    for (size_t state = 0; state < looks.size(); ++state) {
        const Look& fallback = state == STATE_NORMAL ? empty : looks[STATE_NORMAL];
        const std::u16string name = prefix + std::u16string(state_words[state]);
        looks[state] = look(name, fallback);
    }
    return looks;
}

void ControlButtonBase::read_button_properties()
{
    border_min_ = point(u"BorderMin", {0, 0});
    border_max_ = point(u"BorderMax", border_min_);
    looks_ = read_looks(u"");
    text_ = string(u"Text", text_);
    horizontal_ = horizontal_alignment_of(string(u"HAlignment", u""), CENTER);
    vertical_ = vertical_alignment_of(string(u"VAlignment", u""), VCENTER);
    action_ = button_action_of(string(u"Action", u""), action_);
}

void ControlButtonBase::reload_properties()
{
    Control::reload_properties();
    read_button_properties();
}

void ControlButtonBase::renew_behaviour()
{
    behaviour_.reset();
    behaviour_ = make_behaviour();
    settle_focus();
    invalidate();
}

bool ControlButtonBase::wants_focus() const { return Control::wants_focus() && behaviour_ && behaviour_->focusable(); }

void ControlButtonBase::on_focus_lost()
{
    pressed_by_enter_ = false;
    invalidate();
}

void ControlButtonBase::on_shown(bool shown)
{
    if (behaviour_)
        behaviour_->on_shown(shown);
}

void ControlButtonBase::on_enabled(bool enabled)
{
    if (behaviour_)
        behaviour_->on_enabled(enabled);
}

ButtonState ControlButtonBase::state() const
{
    if (!effectively_enabled())
        return STATE_DISABLED;
    if (pressed())
        return STATE_PRESSED;
    if (container().hovered() == this)
        return STATE_HIGHLIGHTED;
    return STATE_NORMAL;
}

void ControlButtonBase::draw_face(CanvasImpl& canvas, const Look& look, Point update_origin, Point update_size)
{
    canvas.draw_picture(look.picture, position(), position() + size());
    Control::draw(canvas, update_origin, update_size);
    const Point inner_origin = position() + border_min_;
    const Point inner_size = size() - border_min_ - border_max_;
    canvas.draw_text(look.font, look.colour, text_, inner_origin, inner_size, horizontal_, vertical_);
}

void ControlButtonBase::draw(CanvasImpl& canvas, Point update_origin, Point update_size)
{
    if (drawn())
        draw_face(canvas, state_looks()[state()], update_origin, update_size);
}

bool ControlButtonBase::hit_test(Point point) const
{
    if (!drawn() || !contains(point))
        return false;
    const Picture& face = state_looks()[state()].picture;
    return !face.has_bitmap() || !face.is_transparent(point, position(), position() + size());
}

void ControlButtonBase::on_pointer_moved(Point point)
{
    if (behaviour_)
        behaviour_->on_pointer_moved(point);
}

void ControlButtonBase::on_left_down(Point point, int flag)
{
    pressed_by_pointer_ = true;
    invalidate();
    if (behaviour_)
        behaviour_->on_pointer_down(point, flag);
}

void ControlButtonBase::on_left_up(Point point, int flag)
{
    const bool was_pressed = pressed();
    const bool key_press = pressed_by_enter_;
    pressed_by_pointer_ = false;
    if (behaviour_)
        behaviour_->on_pointer_up(point, flag);
    invalidate();
    // A press that slid off the button before it ended is no click.
    if (was_pressed && !key_press && hit_test(point) && effectively_enabled())
        click(point, flag);
}

bool ControlButtonBase::on_key_down(int key, int)
{
    if (key != key::enter)
        return false;
    pressed_by_enter_ = true;
    invalidate();
    return true;
}

bool ControlButtonBase::on_key_up(int key, int)
{
    if (key != key::enter)
        return false;
    // Only a release that ends this button's own press clicks: not a key let go after
    // the focus came here (from a form that closed on the key going down).
    const bool was_pressed = pressed_by_enter_;
    pressed_by_enter_ = false;
    invalidate();
    if (was_pressed && !pressed())
        click();
    return true;
}

void ControlButtonBase::set_text(std::u16string_view text)
{
    if (text == text_)
        return;
    text_ = text;
    if (behaviour_)
        behaviour_->on_text_changed(text_);
    invalidate();
}

void ControlButtonBase::click(Point, int flag)
{
    if (behaviour_)
        behaviour_->on_clicked(flag);
    on_click(this, flag);
}

void ControlButtonBase::click()
{
    if (effectively_enabled())
        click(position() + Point{size().x / 2, size().y / 2}, 0);
}

int ControlButtonBase::on_command(Control* sender, std::u16string_view command)
{
    if (!id().empty() && command == id()) {
        click();
        return 1;
    }
    return Control::on_command(sender, command);
}

} // namespace skinner
