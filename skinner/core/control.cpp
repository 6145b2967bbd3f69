#include "skinner/core/control.h"

#include "platform/window.h"
#include "skinner/core/container.h"
#include "skinner/core/form.h"
#include "skinner/core/framework_state.h"
#include "skinner/draw/canvas.h"
#include "skinner/skin/properties.h"

namespace skinner {

namespace {

struct AnchorName {
    std::u16string_view name;
    Anchor anchor;
};

constexpr AnchorName anchor_names[] = {
    {u"MIN_SIDE", Anchor::min_side},
    {u"BOTH_SIDE", Anchor::both_side},
    {u"MAX_SIDE", Anchor::max_side},
    {u"RATIO", Anchor::ratio},
    {u"CENTER", Anchor::center},
};

Anchor anchor_of(std::u16string_view text)
{
    for (const AnchorName& entry : anchor_names)
        if (entry.name == text)
            return entry.anchor;
    return Anchor::min_side;
}

// One property of a control's node through the getter for its type; the default when
// the control reads no skin.
template <class Value, class Default, class Given>
Value read(NodeMode mode, Properties& properties, std::u16string_view form, std::u16string_view node,
    Value (Properties::*getter)(std::u16string_view, std::u16string_view, std::u16string_view, Default),
    std::u16string_view name, const Given& default_value)
{
    if (mode == NodeMode::unskinned)
        return Value(default_value);
    return (properties.*getter)(form, node, name, default_value);
}

} // namespace

Control::Control(Container& container, std::u16string_view name, NodeMode mode)
    : mode_(mode)
    , container_(container)
    , id_(mode == NodeMode::by_kind ? u"" : name)
    , kind_(mode == NodeMode::by_kind ? name : u"")
{
    read_common_properties();
    container_.register_control(*this);
}

Control::~Control() { container_.unregister_control(*this); }

std::u16string_view Control::node_form() const
{
    return mode_ == NodeMode::by_kind ? std::u16string_view() : std::u16string_view(container_.form_name());
}

std::u16string_view Control::node_name() const { return mode_ == NodeMode::by_kind ? kind_ : id_; }

void Control::read_common_properties()
{
    if (mode_ == NodeMode::unskinned)
        return;
    cursor_ = cursor_property(u"Cursor", cursor_);
    anchor_x_ = anchor_of(string(u"AnchorX", u""));
    anchor_y_ = anchor_of(string(u"AnchorY", u""));
    focus_ = picture(u"Focus", Picture());
    tab_order_ = integer(u"TabOrder", 0);
    skin_position_ = point(u"Position", {0, 0});
    skin_size_ = point(u"Size", {0, 0});
    set_visible(integer(u"Visible", visible_) != 0);
    set_enabled(integer(u"Enabled", enabled_) != 0);
    gestures_ = integer(u"Gestures", gestures_) != 0;
    z_order_ = integer(u"ZOrder", z_order_);
    set_wants_focus(integer(u"WantFocus", wants_focus_) != 0);
}

void Control::reload_properties() { read_common_properties(); }

void Control::set_z_order(int z_order)
{
    z_order_ = z_order;
    container_.sort_by_z_order();
}

void Control::set_wants_focus(bool wants)
{
    wants_focus_ = wants;
    if (!wants && container_.focused() == this)
        container_.move_focus(true);
}

void Control::settle_focus()
{
    if (is_focused() && !wants_focus())
        container_.move_focus(true);
}

void Control::draw(CanvasImpl& canvas, Point, Point)
{
    if (container_.shows_focus(*this))
        canvas.draw_picture(focus_, position_, position_ + size_);
}

bool Control::contains(Point point) const
{
    return point.x >= position_.x && point.x < position_.x + size_.x && point.y >= position_.y &&
        point.y < position_.y + size_.y;
}

bool Control::hit_test(Point point) const { return contains(point); }

void Control::on_timer_message(int id, int value)
{
    if (id != 0 && id == timer_id_)
        on_timer(id, value);
}

void Control::set_rectangle(Point position, Point size)
{
    if (position == position_ && size == size_)
        return;
    invalidate();
    position_ = position;
    size_ = size;
    invalidate();
}

void Control::set_visible(bool visible)
{
    const bool was_shown = effectively_visible();
    visible_ = visible;
    const bool shown = effectively_visible();
    if (shown != was_shown) {
        on_shown(shown);
        if (Form* owner = form())
            owner->invalidate(position_, size_);
    }
    if (!visible_ && container_.focused() == this)
        container_.move_focus(true);
    if (visible_ && enabled_ && wants_focus() && !container_.focused())
        container_.set_focus(this);
}

void Control::set_enabled(bool enabled)
{
    const bool was_enabled = effectively_enabled();
    enabled_ = enabled;
    const bool now_enabled = effectively_enabled();
    if (now_enabled != was_enabled) {
        on_enabled(now_enabled);
        invalidate();
    }
    if (!enabled_ && container_.focused() == this)
        container_.move_focus(true);
}

int Control::start_timer(double seconds)
{
    stop_timer();
    Form* owner = form();
    if (!owner)
        return 0;
    timer_id_ = owner->start_timer(seconds);
    return timer_id_;
}

void Control::stop_timer()
{
    if (timer_id_ == 0)
        return;
    if (Form* owner = form())
        owner->stop_timer(timer_id_);
    timer_id_ = 0;
}

void Control::invalidate()
{
    if (!visible_ || !container_.visible())
        return;
    if (Form* owner = form())
        owner->invalidate(position_, size_);
}

Colour Control::colour(std::u16string_view name, Colour default_value) const
{
    return read(mode_, properties(), node_form(), node_name(), &Properties::colour, name, default_value);
}

std::u16string Control::string(std::u16string_view name, std::u16string_view default_value) const
{
    return read(mode_, properties(), node_form(), node_name(), &Properties::string, name, default_value);
}

int Control::size_integer(std::u16string_view name, int default_value) const
{
    return read(mode_, properties(), node_form(), node_name(), &Properties::size_integer, name, default_value);
}

int Control::integer(std::u16string_view name, int default_value) const
{
    return read(mode_, properties(), node_form(), node_name(), &Properties::integer, name, default_value);
}

Point Control::point(std::u16string_view name, Point default_value) const
{
    return read(mode_, properties(), node_form(), node_name(), &Properties::point, name, default_value);
}

int Control::cursor_property(std::u16string_view name, int default_value) const
{
    return read(mode_, properties(), node_form(), node_name(), &Properties::cursor, name, default_value);
}

Picture Control::picture(std::u16string_view name, const Picture& default_value) const
{
    return read(mode_, properties(), node_form(), node_name(), &Properties::picture, name, default_value);
}

Font Control::font(std::u16string_view name, const Font& default_value) const
{
    return read(mode_, properties(), node_form(), node_name(), &Properties::font, name, default_value);
}

Look Control::look(std::u16string_view name, const Look& default_value) const
{
    return {picture(name, default_value.picture), font(name, default_value.font), colour(name, default_value.colour)};
}

std::u16string Control::translate(std::u16string_view key, std::u16string_view default_text) const
{
    return properties().translate(key, default_text);
}

Form* Control::form() const { return container_.form(); }

Properties& Control::properties() const { return container_.properties(); }

bool Control::effectively_visible() const { return visible_ && container_.visible(); }

bool Control::effectively_enabled() const { return enabled_ && container_.enabled(); }

bool Control::is_focused() const { return container_.focused() == this; }

Listener* Control::next_listener() const { return &container_; }

} // namespace skinner
