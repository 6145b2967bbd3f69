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
