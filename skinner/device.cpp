#include "skinner/device.h"

#include "liba/log.h"
#include "liba/text.h"
#include "platform/screen.h"

namespace skinner {

bool is_smartphone()
{
    static const bool smartphone = [] {
        const std::u16string type = platform::platform_type();
        liba::log() << u"static_capability_is_smartphone=" << type << u"\n";
        return liba::to_lower(type) == u"smartphone";
    }();
    return smartphone;
}

SkinDevice current_device() { return {is_smartphone(), platform::full_screen()}; }

int bar_height(platform::Size screen, const SkinDevice& device)
{
    if (device.full_screen)
        return 0;
    if (!device.smartphone)
        return screen.width == 480 || screen.width == 640 ? 52 : 26;
    switch (screen.width) {
    case 176: return 20;
    case 240: return 27;
    case 352: return 40;
    case 480: return 54;
    default: return 0;
    }
}

platform::Size work_area_size(platform::Size screen, const SkinDevice& device)
{
    return {screen.width, screen.height - 2 * bar_height(screen, device)};
}

bool devices_admit(std::u16string_view devices, bool smartphone)
{
    return devices.empty() || devices.find(smartphone ? u'S' : u'P') != std::u16string_view::npos;
}

} // namespace skinner
