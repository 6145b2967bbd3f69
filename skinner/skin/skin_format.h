#pragma once

#include <cstdint>

// Byte layout of a binary skin file, shared by the reader and the skin compiler.
// All integers are little-endian; offsets count from the first byte of the skin;
// strings are UTF-16LE ended by one zero unit.
namespace skinner::skin_format {

inline constexpr uint32_t header_size = 540;

// Header fields.
inline constexpr uint32_t magic_offset = 0;
inline constexpr uint8_t magic[8] = {0x21, 0x04, 0x3A, 0x04, 0x38, 0x04, 0x3D, 0x04};
inline constexpr uint32_t key_offset = 8;
inline constexpr uint32_t form_root_offset = 72;
inline constexpr uint32_t kind_root_offset = 76;
inline constexpr uint32_t picture_count_offset = 80;
inline constexpr uint32_t font_count_offset = 84;
inline constexpr uint32_t names_offset = 88;
inline constexpr uint32_t resolutions_offset = 92;
inline constexpr uint32_t devices_offset = 476;

// The version key and the devices string live in fields of 32 code units that hold
// at most 31 units, a terminator and zeros after it.
inline constexpr uint32_t text_field_units = 32;

inline constexpr uint32_t resolution_count = 32;
inline constexpr uint32_t resolution_size = 12;

// Node: left, right, name, six record arrays (begin, end), control tree root,
// control list count, then the control list of 4-byte entries.
inline constexpr uint32_t node_size = 68;
inline constexpr uint32_t node_left = 0;
inline constexpr uint32_t node_right = 4;
inline constexpr uint32_t node_name = 8;
inline constexpr uint32_t node_arrays = 12;
inline constexpr uint32_t node_control_root = 60;
inline constexpr uint32_t node_control_count = 64;
inline constexpr uint32_t control_entry_size = 4;

// Record types in the order of their arrays inside a node.
enum class Record : uint8_t { Integer, Point, String, Picture, Color, Font };
inline constexpr int record_type_count = 6;
inline constexpr uint32_t record_sizes[record_type_count] = {8, 6, 4, 20, 6, 8};

inline constexpr uint32_t record_size(Record type) { return record_sizes[static_cast<int>(type)]; }

// Records address names and string values with 16-bit offsets.
inline constexpr uint32_t short_offset_limit = 0x10000;

} // namespace skinner::skin_format
