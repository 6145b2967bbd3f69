#pragma once

#include "liba/byte_block.h"
#include "liba/nocopy.h"
#include "platform/base/geometry.h"
#include "skinner/draw/colour.h"
#include "skinner/skin/device.h"
#include "skinner/draw/geometry.h"
#include "skinner/skin/skin_data.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>
#include <string_view>
#include <utility>

namespace skinner {

// A PictureNode with its points multiplied by the skin's scale.
struct SkinPicture {
    uint32_t picture = 0; // index into the skin's picture names
    Point points[4];
    bool stretch = false;
};

// One skin file loaded into memory and fitted to a screen: finds the data (a plain
// file, or the first member of a zip archive whose extension is "skin"), checks it,
// chooses the scale factor, chooses the variant of a form that fits the work area
// and the device, and looks up typed property records in place. Lookups of forms,
// controls and kinds that do not exist, or on a skin that is not valid, are
// programming errors and end the program through liba::fatal_error.
class SkinReader : liba::Nocopy {
public:
    using Offset = SkinData::Offset; // a node; 0 is none

    // An empty reader: no skin, never valid.
    SkinReader();
    SkinReader(std::u16string path, platform::Size screen, const SkinDevice& device);

    bool is_valid() const { return data_.has_value(); }
    // Makes the skin invalid; for a skin whose pictures fail to load.
    void reject() { data_.reset(); }
    bool check_version(std::u16string_view key, platform::Size screen) const;

    const std::u16string& path() const { return path_; }
    int scale() const { return scale_; }
    platform::Size work_area() const { return work_area_; }
    // Picture names, then font specifications, as the names block lists them.
    uint32_t picture_count() const;
    uint32_t font_count() const;
    std::u16string picture_name(uint32_t index) const;
    std::u16string font_spec(uint32_t index) const;

    // The variant of the form that fits best, or 0; never fatal.
    Offset find_form(std::u16string_view form);
    // Like find_form, but a missing form is fatal.
    Offset form_node(std::u16string_view form);
    // The control of a form, or with an empty form name the kind of that name.
    Offset find_node(std::u16string_view form, std::u16string_view control);
    uint32_t form_control_count(std::u16string_view form);
    // (control name, class name) of the index-th entry of the form's control list.
    std::pair<std::u16string, std::u16string> form_control_entry(std::u16string_view form, uint32_t index);
    // Every control the chosen variant of the form describes, with a class or not, in
    // name order.
    std::vector<std::u16string> form_control_names(std::u16string_view form);
    // What the last form walk saw: "+" for the candidates, "-" for the others.
    std::u16string form_list() const;

    // Property records of a node; none when the node has no such record.
    std::optional<int32_t> integer(Offset node, std::u16string_view name);
    std::optional<Point> point(Offset node, std::u16string_view name); // scaled
    std::optional<std::u16string> string(Offset node, std::u16string_view name);
    std::optional<Colour> color(Offset node, std::u16string_view name);
    std::optional<SkinPicture> picture(Offset node, std::u16string_view name); // scaled
    std::optional<uint32_t> font(Offset node, std::u16string_view name);       // font index

    // Diagnostic counters: name comparisons, node lookups, property records found.
    uint32_t compare_counter() const { return compare_counter_; }
    uint32_t property_counter() const { return property_counter_; }
    uint32_t found_property_counter() const { return found_property_counter_; }
    void reset_counters() { compare_counter_ = property_counter_ = found_property_counter_ = 0; }

private:
    void choose_scale(platform::Size screen);
    bool exact_scale(platform::Size screen, int& scale) const;
    Offset walk_forms(std::u16string_view form, uint32_t& comparisons, std::u16string* list) const;
    Offset find_record(Offset node, SkinData::Record type, std::u16string_view name);
    [[noreturn]] void report_no_skin() const;
    [[noreturn]] void report_no_form(std::u16string_view form) const;

    std::u16string path_;
    platform::Size screen_;
    SkinDevice device_;
    platform::Size work_area_;
    liba::ByteBlock block_;
    std::optional<SkinData> data_;
    int scale_ = 1;

    std::u16string form_name_;
    Offset form_ = 0;
    std::u16string control_name_;
    Offset control_ = 0;
    std::u16string kind_name_;
    Offset kind_ = 0;
    std::u16string walked_form_; // what the last form walk looked for

    uint32_t compare_counter_ = 0;
    uint32_t property_counter_ = 0;
    uint32_t found_property_counter_ = 0;
};

// The bytes of a skin: the first member of the zip archive at path whose extension
// is "skin", or else the whole file. Empty when neither can be read in full.
liba::ByteBlock load_skin_bytes(std::u16string_view path);

} // namespace skinner
