#pragma once

#include "skinner/skin/skin_format.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace skinner {

struct SkinResolution {
    int32_t width = 0;
    int32_t height = 0;
};

// A PictureNode as stored: the picture's index into the names block, four points
// (outer top-left, inner top-left, inner bottom-right, outer bottom-right) in design
// pixels, and the stretch flag.
struct SkinPictureRecord {
    uint32_t picture = 0;
    uint16_t x[4] = {};
    uint16_t y[4] = {};
    bool stretch = false;
};

// Read-only view of the bytes of one binary skin. open() checks the whole structure
// once (header fields, every node, record, offset, count and string end against the
// size, sorted names and search-tree order), so that the lookups afterwards read in
// place without checks and can never leave the block. The bytes are not copied: the
// caller keeps them alive for as long as the view is used.
class SkinData {
public:
    using Offset = uint32_t; // byte offset into the skin; 0 names no node
    using Record = skin_format::Record;

    // The view of a skin that passed every check, or none with the reason in problem.
    static std::optional<SkinData> open(const uint8_t* bytes, size_t size, std::string* problem = nullptr);

    size_t size() const { return size_; }

    // Header.
    std::u16string key() const { return text(skin_format::key_offset); }
    std::u16string devices() const { return text(skin_format::devices_offset); }
    Offset form_root() const { return u32(skin_format::form_root_offset); }
    Offset kind_root() const { return u32(skin_format::kind_root_offset); }
    uint32_t picture_count() const { return u32(skin_format::picture_count_offset); }
    uint32_t font_count() const { return u32(skin_format::font_count_offset); }
    SkinResolution resolution(uint32_t index) const;
    // Offsets of the picture names, then of the font specifications.
    const std::vector<Offset>& names() const { return names_; }

    // Strings.
    std::u16string text(Offset at) const;
    // Compares the wanted name with the stored string as wide strings compare.
    int compare(std::u16string_view wanted, Offset stored) const;
    bool starts_with(Offset stored, std::u16string_view prefix) const;

    // Nodes.
    Offset left(Offset node) const { return u32(node + skin_format::node_left); }
    Offset right(Offset node) const { return u32(node + skin_format::node_right); }
    Offset name(Offset node) const { return u32(node + skin_format::node_name); }
    Offset control_root(Offset form) const { return u32(form + skin_format::node_control_root); }
    uint32_t control_count(Offset form) const { return u32(form + skin_format::node_control_count); }
    // (control name, class name) of the index-th entry of a form's control list.
    std::pair<Offset, Offset> control_entry(Offset form, uint32_t index) const;
    // Binary-tree search from root; every name comparison adds 1 to comparisons.
    Offset find_node(Offset root, std::u16string_view name, uint32_t& comparisons) const;

    // Records.
    uint32_t record_count(Offset node, Record type) const;
    Offset record(Offset node, Record type, uint32_t index) const;
    // Binary search of a node's array; 0 when absent.
    Offset find_record(Offset node, Record type, std::u16string_view name, uint32_t& comparisons) const;
    Offset record_name(Offset record) const { return u16(record); }
    int32_t integer_value(Offset record) const { return static_cast<int32_t>(u32(record + 4)); }
    std::pair<int16_t, int16_t> point_value(Offset record) const;
    Offset string_value(Offset record) const { return u16(record + 2); }
    // The four colour bytes in stored order: red, green, blue, fourth byte.
    const uint8_t* color_value(Offset record) const { return bytes_ + record + 2; }
    SkinPictureRecord picture_value(Offset record) const;
    uint32_t font_value(Offset record) const { return u32(record + 4); }

    uint16_t u16(Offset at) const { return static_cast<uint16_t>(bytes_[at] | bytes_[at + 1] << 8); }
    uint32_t u32(Offset at) const
    {
        return static_cast<uint32_t>(bytes_[at]) | static_cast<uint32_t>(bytes_[at + 1]) << 8 |
               static_cast<uint32_t>(bytes_[at + 2]) << 16 | static_cast<uint32_t>(bytes_[at + 3]) << 24;
    }

private:
    SkinData(const uint8_t* bytes, size_t size) : bytes_(bytes), size_(size) {}

    const uint8_t* bytes_ = nullptr;
    size_t size_ = 0;
    std::vector<Offset> names_;
};

} // namespace skinner
