#include "skinner/core/listener.h"

#include <utility>

namespace skinner {

namespace {

// Every default hands the notification to the next listener up, unchanged.
template <class... Parameters, class... Arguments>
int pass_on(Listener* next, int (Listener::*slot)(Parameters...), Arguments&&... arguments)
{
    return next ? (next->*slot)(std::forward<Arguments>(arguments)...) : 0;
}

} // namespace

int Listener::on_click(Control* sender, int flag)
{
    return pass_on(next_listener(), &Listener::on_click, sender, flag);
}

int Listener::on_cell_click(Control* sender, const CellEvent& event)
{
    return pass_on(next_listener(), &Listener::on_cell_click, sender, event);
}

int Listener::on_cell_context(Control* sender, const CellEvent& event)
{
    return pass_on(next_listener(), &Listener::on_cell_context, sender, event);
}

int Listener::on_edit_end(Control* sender, int row, int column, bool commit)
{
    return pass_on(next_listener(), &Listener::on_edit_end, sender, row, column, commit);
}

int Listener::on_forward(std::intptr_t first, std::intptr_t second)
{
    return pass_on(next_listener(), &Listener::on_forward, first, second);
}

int Listener::on_scrolled(Control* sender) { return pass_on(next_listener(), &Listener::on_scrolled, sender); }

int Listener::on_command(Control* sender, std::u16string_view command)
{
    return pass_on(next_listener(), &Listener::on_command, sender, command);
}

int Listener::on_value_changed(Control* sender, double value)
{
    return pass_on(next_listener(), &Listener::on_value_changed, sender, value);
}

int Listener::on_value_set(Control* sender) { return pass_on(next_listener(), &Listener::on_value_set, sender); }

int Listener::on_text_changed(Control* sender) { return pass_on(next_listener(), &Listener::on_text_changed, sender); }

int Listener::on_header_click(Control* sender, const CellEvent& event)
{
    return pass_on(next_listener(), &Listener::on_header_click, sender, event);
}

int Listener::on_header_context(Control* sender, const CellEvent& event)
{
    return pass_on(next_listener(), &Listener::on_header_context, sender, event);
}

int Listener::on_selection_changed(Control* sender)
{
    return pass_on(next_listener(), &Listener::on_selection_changed, sender);
}

int Listener::on_highlight_changed(Control* sender)
{
    return pass_on(next_listener(), &Listener::on_highlight_changed, sender);
}

int Listener::on_focus_request(Control* sender)
{
    return pass_on(next_listener(), &Listener::on_focus_request, sender);
}

int Listener::on_menu_update(MenuItemDescription& item)
{
    return pass_on(next_listener(), &Listener::on_menu_update, item);
}

int Listener::on_forward_value(Control* sender, std::intptr_t value)
{
    return pass_on(next_listener(), &Listener::on_forward_value, sender, value);
}

} // namespace skinner
