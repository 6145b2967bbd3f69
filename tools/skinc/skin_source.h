#pragma once

#include "skinner/skin/skin_data.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <variant>
#include <vector>

// The contents of a skin as the compiler sees them: what the XML source says, before
// it is laid out as bytes. See data/skins/README.md for the source format.
namespace skinc {

struct PointValue {
    int16_t x = 0;
    int16_t y = 0;
};

struct PictureValue {
    std::u16string image; // picture name, without extension
    uint16_t x[4] = {};
    uint16_t y[4] = {};
    bool stretch = false;
};

struct ColorValue {
    uint8_t bytes[4] = {}; // red, green, blue, fourth byte
};

struct FontValue {
    std::u16string spec; // "height bold italic underline face"
};

// The alternatives are in the order of skinner::skin_format::Record.
using PropertyValue = std::variant<int32_t, PointValue, std::u16string, PictureValue, ColorValue, FontValue>;

struct Property {
    std::u16string name;
    PropertyValue value;

    skinner::skin_format::Record type() const { return static_cast<skinner::skin_format::Record>(value.index()); }
};

// A form, a kind or a control.
struct Node {
    std::u16string name;
    std::u16string class_name; // controls: the class in the form's control list
    bool listed = false;       // controls: in the control list (it has a class)
    std::vector<Property> properties;
    std::vector<Node> controls; // forms: in source order
};

struct SkinSource {
    std::u16string key;
    std::u16string devices;
    std::vector<skinner::SkinResolution> resolutions;
    std::vector<std::u16string> images; // declared order; more are added on first use
    std::vector<std::u16string> fonts;  // likewise
    std::vector<Node> kinds;
    std::vector<Node> forms;
};

// Reads an XML skin source. Picture sizes that the source leaves implicit are read
// from the PNG files in image_folder. On failure returns false with a message that
// names the file and line.
bool parse_skin_source(const std::filesystem::path& file, const std::filesystem::path& image_folder,
                       SkinSource& skin, std::string& error);
bool parse_skin_text(const std::string& xml, const std::filesystem::path& image_folder, SkinSource& skin,
                     std::string& error);

std::u16string to_utf16(const std::string& utf8);
std::string to_utf8(const std::u16string& text);

} // namespace skinc
