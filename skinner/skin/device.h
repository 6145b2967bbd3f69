#pragma once

#include "platform/base/geometry.h"

#include <string_view>

// The device kind and the work area that skins and forms are fitted to.
namespace skinner {

struct SkinDevice {
    bool smartphone = false;
    bool full_screen = false; // no title and menu bars
};

// Smartphone or Pocket PC, from the platform-type text of the screen as it is
// configured now.
bool is_smartphone();
// The device as it is now: its kind and the full-screen flag (logged: skins are
// fitted to it).
SkinDevice current_device();

// Height of each of the two bars (title at the top, menu or soft keys at the bottom).
int bar_height(platform::Size screen, const SkinDevice& device);
// The screen minus both bars: where forms are placed.
platform::Size work_area_size(platform::Size screen, const SkinDevice& device);
// Does a devices text ("P", "S", both or empty) admit the device?
bool devices_admit(std::u16string_view devices, bool smartphone);

} // namespace skinner
