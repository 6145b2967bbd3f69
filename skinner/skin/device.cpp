#include "skinner/skin/device.h"

#include "liba/log.h"
#include "liba/text.h"
#include "platform/screen.h"

namespace skinner {

namespace {

platform::DeviceKind platform_kind(const SkinDevice& device)
{
    return device.smartphone ? platform::DeviceKind::smartphone : platform::DeviceKind::pocket_pc;
}

} // namespace

bool is_smartphone()
{
    return liba::to_lower(platform::platform_type()) == u"smartphone";
}

SkinDevice current_device()
{
    liba::log() << u"static_capability_is_smartphone=" << platform::platform_type() << u"\n";
    return {is_smartphone(), platform::full_screen()};
}

int bar_height(platform::Size screen, const SkinDevice& device)
{
    return platform::bar_height_for(screen, platform_kind(device), device.full_screen);
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
