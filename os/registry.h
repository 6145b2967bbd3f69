#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A hierarchical store of named values under keys addressed by one text path, a root
// name and the subkey path: "HKEY_CURRENT_USER\Software\Quenbry". The roots are
// HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE, HKEY_USERS and HKEY_CURRENT_USER, matched
// case-sensitively; subkeys and value names ignore letter case.
//
// The store is a text file a person can edit (registry_file_path()):
//
//   ; a comment
//   [HKEY_CURRENT_USER\Software\Quenbry]
//   Log=1
//   Flicker=dword:00000000
//   Name="text"
//
// A value is a number when written as decimal digits or as dword:<hex digits> (as in
// .reg files), and a string otherwise: quoted, with \\, \", \n and \r standing for a
// backslash, a quote, a line feed and a carriage return, or bare text. A name may be
// quoted too; @ is the key's unnamed value. Later lines override earlier ones.
//
// It is read again whenever the file changes, and written whole to a temporary file
// that is then renamed over it, so it is never found half-written.
namespace os {

// Stores text as a string value, creating the key. False when the path has no root or
// the file could not be written.
bool write_registry_string(std::u16string_view key_path, std::u16string_view value_name, std::u16string_view text);

// Reads a number value into number. True whenever the path has a root, found or not:
// a missing value, or one of another type (a string), leaves number unchanged, so
// callers set their default first.
bool read_registry_number(std::u16string_view key_path, std::u16string_view value_name, uint32_t& number);

// Reads a string value into text; false (text unchanged) when it is missing or of
// another type, or the path has no root.
bool read_registry_string(std::u16string_view key_path, std::u16string_view value_name, std::u16string& text);

// MELODRIFT_REGISTRY, else $XDG_CONFIG_HOME/melodrift/registry.ini, with
// $HOME/.config standing in for an unset XDG_CONFIG_HOME.
std::string registry_file_path();

} // namespace os
