#pragma once

#include <string_view>

// Makes the file at path the phone's ring tone. False when the setting could not be
// written.
bool assign_ringtone(std::u16string_view path);
