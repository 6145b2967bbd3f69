#pragma once

#include <functional>
#include <string_view>

#include "skinner/menu/menu_item.h"
#include "skinner/menu/menu_list.h"

namespace skinner {

class Properties;

// Placement names of items that go to a soft key's pop-up rather than stand alone.
inline constexpr std::u16string_view placement_ok = u"#smartphone_ok#";
inline constexpr std::u16string_view placement_menu = u"#smartphone_menu#";
inline constexpr std::u16string_view placement_tab = u"#smartphone_tab#";

// How the menu manager describes one item with its sub-menu filled by the form.
using FilledDescription = std::function<MenuItemDescription(const MenuItem&)>;

// What the two soft keys hold, from a form's menu list. The left key gathers the
// "#smartphone_ok#" items; the right key the items placed nowhere else (each an entry,
// with its own sub-menu), then those placed "#smartphone_menu#", then those placed
// "#smartphone_tab#" between separators. A placed item contributes the entries of its
// sub-menu, or, without one, itself. A key with one entry is that entry; with several
// it is named "Action" or "Menu" (translated) and opens them as a pop-up; with none it
// is blank.
MenuItemDescription left_soft_key(
    const MenuList& list, const FilledDescription& describe, const Properties& properties);
MenuItemDescription right_soft_key(
    const MenuList& list, const FilledDescription& describe, const Properties& properties);

} // namespace skinner
