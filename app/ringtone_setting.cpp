#include "app/ringtone_setting.h"

#include "os/registry.h"

bool assign_ringtone(std::u16string_view path)
{
    return os::write_registry_string(u"HKEY_CURRENT_USER\\ControlPanel\\Sounds\\RingTone0", u"Sound", path);
}
