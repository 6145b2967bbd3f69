#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/base/geometry.h"
#include "platform/base/message.h"
#include "platform/surface.h"

// The hand-held's screen: a configured virtual device screen (never the size of the
// desktop), the kind of device, its bars and work area, and the picture of it that the
// back ends present.
namespace platform {

enum class DeviceKind { pocket_pc, smartphone };

struct ScreenConfig {
    Size size{480, 640};
    DeviceKind device = DeviceKind::pocket_pc;
};

// "WxH" (64 to 4096 each way), as the programs' --screen option takes it.
std::optional<Size> parse_screen_size(std::string_view text);
// "pocketpc" or "smartphone", as the --device option takes it.
std::optional<DeviceKind> parse_device_kind(std::string_view text);

// Sets the screen up; windows already made keep their places.
void configure_screen(const ScreenConfig& config);
Size screen_size();
DeviceKind device_kind();
// The platform-type text the device reports: "PocketPC" or "SmartPhone".
std::u16string platform_type();

// Full-screen mode hides the bars; the work area then is the whole screen.
void set_full_screen(bool full_screen);
bool full_screen();
// Height of the top bar and of the bottom bar (menu bar or soft keys) on a screen of
// that size and kind; 0 in full-screen mode.
int bar_height_for(Size screen, DeviceKind device, bool full_screen);
// The same for the screen as it is configured now.
int bar_height();
// The input panel (the on-screen keyboard) and the part of the screen it leaves free.
// A desktop has a real keyboard, so the panel is never shown here.
struct InputPanelInfo {
    bool shown = false;
    Rect visible_desktop;
};
InputPanelInfo input_panel_info();

// The screen between the two bars. Consulting the input panel, a shown panel (outside
// full-screen mode) leaves only the desktop above it.
Rect work_area(bool consult_input_panel = false);

// Swaps width and height and sends setting_change (setting_screen) to every window.
void rotate_screen();

// The screen as it looks now: the windows from the bottom of the z-order up, then
// the bars. Brings the damaged area up to date first.
const Surface& screen_surface();
// Marks an area of the screen as changed; the back end presents it.
void screen_damaged(const Rect& area);
// The changed area since the last call, brought up to date on the screen surface.
Rect take_screen_damage();
// A window's title changed (the top bar shows the active window's title).
void title_changed(WindowHandle window);

// Asks the back end to bring the screen's desktop window to the front (another copy
// handed over its command line). Any thread.
void raise_screen();
// Whether a raise was asked for since the last call.
bool take_raise_request();

} // namespace platform
