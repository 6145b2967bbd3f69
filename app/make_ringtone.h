#pragma once

#include <string>
#include <string_view>

namespace skinner {
class Form;
class Properties;
} // namespace skinner

// Saves the fragment [start, finish) of source (positions in its reader's unit) as a
// ring tone in the device's ring-tone folder: proposes a new name, lets the user change
// it, converts with a progress form, and reports a failure. Answers the path of the
// complete ring tone, or empty when none was made (cancelled or failed). assign only
// changes what the dialog says; the caller stops playback first.
std::u16string make_ringtone(
    skinner::Form& parent, skinner::Properties& skin, std::u16string_view source, int start, int finish, bool assign);

// Makes the ring tone at path the phone's ring tone; a setting that cannot be written
// is reported, and the answer is false.
bool assign_ringtone(skinner::Form& parent, skinner::Properties& skin, std::u16string_view path);
