#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "liba/nocopy.h"
#include "platform/shell.h"
#include "skinner/draw/geometry.h"
#include "skinner/menu/menu_item.h"
#include "skinner/menu/menu_list.h"

namespace skinner {

class Form;

// The bottom bar of one form window, built from the form's menu list: a bar of
// buttons on a Pocket PC, two soft keys on a Smartphone. Changes to the list only mark
// it; it is built again when it shows next. The form window hands it its command,
// pop-up and hot-key messages.
class MenuManager : liba::Nocopy {
public:
    // The manager for the device.
    static std::unique_ptr<MenuManager> create(Form& form);

    explicit MenuManager(Form& form);
    virtual ~MenuManager();

    // The window's command message; true when it was one of the bar's.
    virtual bool on_command(std::uintptr_t id) = 0;
    // The pop-up initialisation message: fills the pop-up menu of the bar item whose
    // command is id.
    virtual void on_popup(std::vector<platform::PopupItem>& menu, std::intptr_t id);
    // The hot-key message (the Back key).
    virtual void on_hot_key(std::uintptr_t wparam, std::intptr_t lparam);
    // Builds the bar again when something changed, and shows it.
    virtual void show() = 0;
    virtual void set_visible(bool visible) = 0;

    void mark_for_rebuild() { rebuild_ = true; }
    MenuList& list() { return list_; }
    const MenuList& list() const { return list_; }

protected:
    // The item's description with its sub-menu filled by the form (the entries the form
    // gives no listener go to the item's).
    MenuItemDescription describe_filled(const MenuItem& item) const;
    // Shows the entries as a pop-up menu at a point of the screen and runs it; the
    // chosen entry gets its command.
    void run_popup(const std::vector<MenuItemDescription>& entries, Point at);
    // Pop-up entries for the descriptions; each command is the entry's number in
    // chosen, where the entry is put (from 1 on).
    static std::vector<platform::PopupItem> popup_items(
        const std::vector<MenuItemDescription>& entries, std::vector<const MenuItemDescription*>& chosen);
    // An enabled entry with a listener gets its command.
    static void deliver(const MenuItemDescription& entry);
    // Entries at any depth without a listener of their own go to the nearest one above.
    static void give_listener(std::vector<MenuItemDescription>& entries, Control* listener);
    // Takes the mark: true when the bar must be built again.
    bool take_rebuild_mark();

    Form& form_;

private:
    MenuList list_;
    bool rebuild_ = true;
};

} // namespace skinner
