#include "skinner/core/control_panel.h"

#include <algorithm>

#include "skinner/core/framework_state.h"
#include "skinner/draw/canvas.h"

namespace skinner {

ControlPanel::Inner::Inner(ControlPanel& panel, Form* form, Properties& properties, std::u16string_view template_name)
    : Container(form, properties, template_name, NodeMode::by_id, &panel)
{
}

ControlPanel::ControlPanel(Container& container, std::u16string_view name, NodeMode mode, Properties* properties)
    : Control(container, name, mode)
    , inner_(*this, container.form(), properties ? *properties : container.properties(),
          mode == NodeMode::unskinned ? u"" : string(u"FormTemplate", u""))
{
    read_background();
    set_rectangle(position(), size());
    build_inner();
}

ControlPanel::~ControlPanel() = default;

void ControlPanel::build_inner()
{
    const FormInMaking making(inner_.form_name());
    inner_.create_auto_controls();
}

void ControlPanel::read_background()
{
    background_ = picture(u"Background", Picture());
    if (!inner_.form_name().empty())
        background_ = inner_.form_picture(u"Background", background_);
}

void ControlPanel::draw(CanvasImpl& canvas, Point update_origin, Point update_size)
{
    canvas.draw_picture(background_, position(), position() + size());
    inner_.paint(canvas, update_origin, update_size);
    Control::draw(canvas, update_origin, update_size);
}

bool ControlPanel::hit_test(Point point) const
{
    if (inner_.control_at(point))
        return true;
    return contains(point) && !background_.is_transparent(point, position(), position() + size());
}

void ControlPanel::set_rectangle(Point position, Point size)
{
    Control::set_rectangle(position, size);
    inner_.set_rectangle(position, size);
}

void ControlPanel::on_timer_message(int id, int value)
{
    Control::on_timer_message(id, value);
    inner_.on_timer_message(id);
}

// The form asks before it knows which inner control the stylus is on.
bool ControlPanel::wants_gestures() const
{
    const auto& controls = inner_.controls();
    return Control::wants_gestures() || std::any_of(controls.begin(), controls.end(), [](const Control* control) {
        return control->effectively_visible() && control->wants_gestures();
    });
}

bool ControlPanel::on_window_activation()
{
    Control* focused = inner_.focused();
    return focused && focused->on_window_activation();
}

void ControlPanel::on_focus_gained()
{
    Control::on_focus_gained();
    inner_.set_active(true);
}

void ControlPanel::on_focus_lost()
{
    Control::on_focus_lost();
    inner_.set_active(false);
}

Point ControlPanel::needed_size() const
{
    const Point needed = inner_.needed_size();
    return {std::max(skin_size().x, needed.x), std::max(skin_size().y, needed.y)};
}

void ControlPanel::reload_properties()
{
    Control::reload_properties();
    inner_.set_form_name(mode() == NodeMode::unskinned ? u"" : string(u"FormTemplate", u""));
    {
        const FormInMaking making(inner_.form_name());
        inner_.reload_skin();
    }
    read_background();
}

int ControlPanel::on_focus_request(Control* sender)
{
    container().set_focus(this);
    return Control::on_focus_request(sender);
}

} // namespace skinner
