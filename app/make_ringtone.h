#pragma once

#include <string>
#include <string_view>

namespace skinner {
class Form;
}

// Makes a ring tone of the fragment [start, finish) of the source (positions in its
// reader's unit): proposes a new name in the ring-tone folder, lets the user change
// it, converts with the progress shown, and reports a failure. The path of the ring
// tone, complete, or empty when none was made (cancelled or failed).
std::u16string make_ringtone(
    skinner::Form& parent, std::u16string_view source, int start, int finish, bool assign);
