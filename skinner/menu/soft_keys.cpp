#include "skinner/menu/soft_keys.h"

#include "skinner/skin/properties.h"

namespace skinner {

namespace {

using Entries = std::vector<MenuItemDescription>;

// A placed item's entries: its sub-menu's, or itself when it has none (a Cancel
// button placed on the right key is an entry of its own there).
void add_entries(const MenuItem& item, const FilledDescription& describe, Entries& entries)
{
    MenuItemDescription description = describe(item);
    if (!item.has_sub_menu()) {
        entries.push_back(std::move(description));
        return;
    }
    for (MenuItemDescription& entry : description.items)
        entries.push_back(std::move(entry));
}

void end_with_separator(Entries& entries)
{
    if (!entries.empty())
        entries.back().separator_after = true;
}

MenuItemDescription key_of(Entries entries, std::u16string_view fake_id, std::u16string_view text_key,
    std::u16string_view default_text, const Properties& properties)
{
    if (entries.size() == 1)
        return std::move(entries.front());
    MenuItemDescription key;
    key.command = fake_id;
    if (!entries.empty())
        key.text = properties.translate(text_key, default_text);
    key.items = std::move(entries);
    return key;
}

} // namespace

MenuItemDescription left_soft_key(const MenuList& list, const FilledDescription& describe, const Properties& properties)
{
    Entries entries;
    for (const MenuItem* item : list.items())
        if (item->placement() == placement_ok)
            add_entries(*item, describe, entries);
    return key_of(std::move(entries), u"#FakeIdSoft1#", u"menuSoftButtonOk", u"Action", properties);
}

MenuItemDescription right_soft_key(
    const MenuList& list, const FilledDescription& describe, const Properties& properties)
{
    Entries entries;
    for (const MenuItem* item : list.items()) {
        const std::u16string placement = item->placement();
        if (placement != placement_ok && placement != placement_menu && placement != placement_tab)
            entries.push_back(describe(*item));
    }
    for (const MenuItem* item : list.items())
        if (item->placement() == placement_menu)
            add_entries(*item, describe, entries);
    for (const MenuItem* item : list.items())
        if (item->placement() == placement_tab) {
            end_with_separator(entries);
            add_entries(*item, describe, entries);
            end_with_separator(entries);
        }
    return key_of(std::move(entries), u"#FakeIdSoft2#", u"menuSoftButtonMenu", u"Menu", properties);
}

} // namespace skinner
