#include "skinner/core/key_codes.h"

#include "platform/base/keys.h"
#include "platform/input.h"

namespace skinner {

namespace {

struct KeyPair {
    std::uint32_t virtual_key;
    int code;
};

constexpr KeyPair named_keys[] = {
    {platform::keys::shift, key::shift},
    {platform::keys::control, key::ctrl},
    {platform::keys::alt, key::alt},
    {platform::keys::left, key::left},
    {platform::keys::right, key::right},
    {platform::keys::up, key::up},
    {platform::keys::down, key::down},
    {platform::keys::escape, key::escape},
    {platform::keys::enter, key::enter},
    {platform::keys::space, key::space},
    {platform::keys::backspace, key::backspace},
    {platform::keys::del, key::del},
    {platform::keys::insert, key::insert},
    {platform::keys::home, key::home},
    {platform::keys::end, key::end},
    {platform::keys::page_down, key::page_down},
    {platform::keys::page_up, key::page_up},
    {platform::keys::tab, key::tab},
    {platform::keys::applications, key::applications},
};

constexpr std::uint32_t modifier_keys[] = {platform::keys::shift, platform::keys::control, platform::keys::alt};

} // namespace

int key_code(std::uint32_t virtual_key)
{
    if (virtual_key >= 'A' && virtual_key <= 'Z')
        return key::letter_a + static_cast<int>(virtual_key - 'A');
    if (virtual_key >= '0' && virtual_key <= '9')
        return key::digit_0 + static_cast<int>(virtual_key - '0');
    for (const KeyPair& pair : named_keys)
        if (pair.virtual_key == virtual_key)
            return pair.code;
    return key::none;
}

bool modifier_down(int modifier)
{
    if (modifier < key::shift || modifier > key::alt)
        return false;
    return platform::modifier_down(modifier_keys[modifier - key::shift]);
}

} // namespace skinner
