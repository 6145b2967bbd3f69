#pragma once

#include <string>
#include <string_view>

// The folder new ring tones go to on this kind of device, expanded.
std::u16string ringtone_folder(bool smartphone);

// A path for a new ring tone in folder that no file there has used: prefix followed by
// a number one above the highest that any file name starting with prefix carries
// (whatever its extension), written with at least three digits, then "." extension.
// Numbers are never reused, even after lower-numbered files were deleted.
std::u16string unique_ringtone_name(std::u16string_view folder, std::u16string_view prefix,
                                    std::u16string_view extension);

// Can a name typed for a ring tone be used as a file name in its folder? Not when it
// would reach out of the folder ("/", "\", "." or "..") or holds control characters.
// The empty name means no ring tone and is not judged here.
bool is_acceptable_ringtone_name(std::u16string_view name);
