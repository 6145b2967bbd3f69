#pragma once

#include <cstdint>
#include <string_view>

#include "skinner/draw/geometry.h"

namespace skinner {

class Control;
struct MenuItemDescription;

// What a grid reports with a cell or header notification: the cell, the point inside
// it and the pointer event (a platform mouse message) that caused it.
struct CellEvent {
    int column = -1;
    int row = -1;
    Point point;
    std::uint32_t event = 0;
};

// The notifications by which controls report what happens to them. Each travels up:
// a control's default passes it to its container, a container's to its owner (a form,
// or the panel that embeds it), until someone handles it. Answers are 0 unless a
// handler says otherwise.
class Listener {
public:
    virtual ~Listener() = default;

    // A button was clicked (flag: how; see the buttons), a soft-key item chosen, an
    // edit field confirmed.
    virtual int on_click(Control* sender, int flag);
    virtual int on_cell_click(Control* sender, const CellEvent& event);
    virtual int on_cell_context(Control* sender, const CellEvent& event);
    // Raised by no control of the framework; forwarded like the others.
    virtual int on_edit_end(Control* sender, int row, int column, bool commit);
    virtual int on_forward(std::intptr_t first, std::intptr_t second);
    virtual int on_scrolled(Control* sender);
    // A command by name: menu items and soft keys send theirs, the form window sends
    // "#ScreenResolution#" when the screen changes (sender null).
    virtual int on_command(Control* sender, std::u16string_view command);
    virtual int on_value_changed(Control* sender, double value);
    virtual int on_value_set(Control* sender);
    virtual int on_text_changed(Control* sender);
    virtual int on_header_click(Control* sender, const CellEvent& event);
    virtual int on_header_context(Control* sender, const CellEvent& event);
    virtual int on_selection_changed(Control* sender);
    virtual int on_highlight_changed(Control* sender);
    // A panel that receives it takes the focus in its own container and passes it on.
    virtual int on_focus_request(Control* sender);
    // A menu item is about to be shown: the owner may fill or change it.
    virtual int on_menu_update(MenuItemDescription& item);
    virtual int on_forward_value(Control* sender, std::intptr_t value);

protected:
    // Where the defaults pass notifications on; null ends them.
    virtual Listener* next_listener() const { return nullptr; }
};

} // namespace skinner
