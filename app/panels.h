#pragma once

#include "app/control_files.h"
#include "skinner/controls/control_button.h"
#include "skinner/controls/control_check_box.h"
#include "skinner/controls/control_frame.h"
#include "skinner/core/control_panel.h"
#include "skinner/menu/menu_main_button.h"
#include "skinner/menu/menu_main_sub_menu.h"

// The four steps of the main form, one shown at a time. Each holds its two menu
// entries (the right and the left soft key on a Smartphone) and its controls; hiding
// a panel takes its entries out of the menu.

// Where menu items go: the right soft key's menu or the left soft key.
inline constexpr std::u16string_view menu_placement = u"#smartphone_menu#";
inline constexpr std::u16string_view ok_placement = u"#smartphone_ok#";
// On the bar of buttons the action comes first and the menu or Cancel second, on every
// panel, however often the panels are shown and hidden.
inline constexpr int ok_order = 0;
inline constexpr int menu_order = 1;
// The text an entry shows when the language file has no translation of its name.
inline constexpr std::u16string_view untranslated_text = u":)";

// Choose a file: the folder's name over the file list.
class PanelFile : public skinner::ControlPanel {
public:
    explicit PanelFile(skinner::Container& container);

    // Goes to the folder (a missing one is the top level) and makes the folder left
    // the current row, so that going up lands on where the user came from.
    void change_folder(std::u16string_view path);
    // The folder frame's text: the folder's tail that fits, after "...".
    void show_folder();

    skinner::MenuMainSubMenu menu {inner(), u"Menu", untranslated_text, menu_order, menu_placement};
    skinner::MenuMainButton select {inner(), u"Select", untranslated_text, ok_order, ok_placement};
    skinner::ControlFrame folder {inner(), u"frmFolder"};
    ControlFiles files {inner(), u"lstFiles"};
};

// Mark the start while the file plays.
class PanelStart : public skinner::ControlPanel {
public:
    explicit PanelStart(skinner::Container& container);

    skinner::MenuMainButton cancel {inner(), u"Cancel", untranslated_text, menu_order, menu_placement};
    skinner::MenuMainButton start {inner(), u"Start", untranslated_text, ok_order, ok_placement};
    skinner::ControlButton button {inner(), u"btnStart"};
};

// Mark the finish while the file plays.
class PanelFinish : public skinner::ControlPanel {
public:
    explicit PanelFinish(skinner::Container& container);

    skinner::MenuMainButton cancel {inner(), u"Cancel", untranslated_text, menu_order, menu_placement};
    skinner::MenuMainButton finish {inner(), u"Finish", untranslated_text, ok_order, ok_placement};
    skinner::ControlButton button {inner(), u"btnFinish"};
};

// Listen to the fragment again, save it, assign it, or mark it anew.
class PanelSave : public skinner::ControlPanel {
public:
    explicit PanelSave(skinner::Container& container);

    skinner::MenuMainButton cancel {inner(), u"Cancel", untranslated_text, menu_order, menu_placement};
    skinner::MenuMainButton assign {inner(), u"Assign", untranslated_text, ok_order, ok_placement};
    skinner::ControlCheckBox play {inner(), u"chkPlay"};
    skinner::ControlButton reedit {inner(), u"btnReedit"};
    skinner::ControlButton save {inner(), u"btnSave"};
    skinner::ControlButton assign_button {inner(), u"btnAssign"};
    skinner::ControlButton exit {inner(), u"btnExit"};
};
