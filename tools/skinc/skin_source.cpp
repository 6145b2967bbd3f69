#include "tools/skinc/skin_source.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <fstream>
#include <initializer_list>
#include <map>
#include <optional>
#include <sstream>

namespace skinc {

using skinner::skin_format::Record;

std::u16string to_utf16(const std::string& utf8)
{
    std::u16string result;
    for (const wchar_t c : pugi::as_wide(utf8)) {
        const auto code = static_cast<char32_t>(c);
        if (code >= 0x10000) {
            result.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
            result.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            result.push_back(static_cast<char16_t>(code));
        }
    }
    return result;
}

std::string to_utf8(const std::u16string& text)
{
    std::wstring wide;
    for (size_t i = 0; i < text.size(); ++i) {
        const char32_t unit = text[i];
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            wide.push_back(static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00)));
            ++i;
        } else {
            wide.push_back(static_cast<wchar_t>(unit));
        }
    }
    return pugi::as_utf8(wide);
}

namespace {

// Reads the pixel size from a PNG file's header chunk.
std::optional<std::pair<uint32_t, uint32_t>> png_size(const std::filesystem::path& file)
{
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::ifstream in(file, std::ios::binary);
    unsigned char header[24];
    if (!in.read(reinterpret_cast<char*>(header), sizeof header))
        return std::nullopt;
    if (!std::equal(signature, signature + 8, header) || std::string(header + 12, header + 16) != "IHDR")
        return std::nullopt;
    auto big_endian = [&](int at) {
        return uint32_t{header[at]} << 24 | uint32_t{header[at + 1]} << 16 | uint32_t{header[at + 2]} << 8 |
               header[at + 3];
    };
    return std::make_pair(big_endian(16), big_endian(20));
}

// Thrown only inside this file, to unwind from a malformed element to the parser's
// entry point, which turns it into an error message.
struct SourceError {
    std::string message;
    ptrdiff_t offset;
};

class SourceParser {
public:
    SourceParser(const std::string& xml, std::filesystem::path image_folder)
        : xml_(xml), image_folder_(std::move(image_folder))
    {
    }

    bool parse(SkinSource& skin, std::string& error)
    {
        pugi::xml_document document;
        const pugi::xml_parse_result result = document.load_buffer(xml_.data(), xml_.size());
        if (!result) {
            error = "line " + std::to_string(line_of(result.offset)) + ": " + result.description();
            return false;
        }
        try {
            read_skin(document.document_element(), skin);
        } catch (const SourceError& failure) {
            error = "line " + std::to_string(line_of(failure.offset)) + ": " + failure.message;
            return false;
        }
        return true;
    }

private:
    int line_of(ptrdiff_t offset) const
    {
        const auto end = xml_.begin() + std::clamp<ptrdiff_t>(offset, 0, static_cast<ptrdiff_t>(xml_.size()));
        return 1 + static_cast<int>(std::count(xml_.begin(), end, '\n'));
    }

    [[noreturn]] static void fail(const pugi::xml_node& at, const std::string& message)
    {
        throw SourceError{"<" + std::string(at.name()) + ">: " + message, at.offset_debug()};
    }

    static void allow_attributes(const pugi::xml_node& element, std::initializer_list<const char*> names)
    {
        for (const pugi::xml_attribute& attribute : element.attributes()) {
            if (std::none_of(names.begin(), names.end(),
                             [&](const char* name) { return std::string(name) == attribute.name(); }))
                fail(element, "unknown attribute \"" + std::string(attribute.name()) + "\"");
        }
    }

    static std::string required(const pugi::xml_node& element, const char* name)
    {
        const pugi::xml_attribute attribute = element.attribute(name);
        if (!attribute)
            fail(element, "needs the attribute \"" + std::string(name) + "\"");
        return attribute.value();
    }

    static std::vector<int64_t> integers(const pugi::xml_node& element, const char* name, const std::string& text,
                                         size_t count, int64_t low, int64_t high)
    {
        std::vector<int64_t> values;
        std::istringstream words(text);
        for (std::string word; words >> word;) {
            int64_t value = 0;
            bool negative = !word.empty() && word[0] == '-';
            const char* first = word.data() + (negative ? 1 : 0);
            const char* last = word.data() + word.size();
            int base = 10;
            if (last - first > 2 && first[0] == '0' && (first[1] == 'x' || first[1] == 'X')) {
                first += 2;
                base = 16;
            }
            const auto [end, status] = std::from_chars(first, last, value, base);
            if (status != std::errc() || end != last || first == last)
                fail(element, std::string(name) + "=\"" + text + "\" is not a list of whole numbers");
            values.push_back(negative ? -value : value);
        }
        if (values.size() != count)
            fail(element, std::string(name) + "=\"" + text + "\" needs " + std::to_string(count) + " number(s)");
        for (const int64_t value : values) {
            if (value < low || value > high)
                fail(element, std::string(name) + "=\"" + text + "\" is out of range " + std::to_string(low) + " to " +
                                  std::to_string(high));
        }
        return values;
    }

    void read_skin(const pugi::xml_node& root, SkinSource& skin)
    {
        if (std::string(root.name()) != "skin")
            fail(root, "the document element must be <skin>");
        allow_attributes(root, {"key", "devices"});
        skin.key = to_utf16(root.attribute("key").value());
        skin.devices = to_utf16(root.attribute("devices").value());
        for (const pugi::xml_node& child : root.children()) {
            if (child.type() != pugi::node_element)
                continue;
            const std::string element = child.name();
            if (element == "resolution") {
                allow_attributes(child, {"width", "height"});
                const auto width = integers(child, "width", required(child, "width"), 1, 0, INT32_MAX)[0];
                const auto height = integers(child, "height", required(child, "height"), 1, 0, INT32_MAX)[0];
                skin.resolutions.push_back({static_cast<int32_t>(width), static_cast<int32_t>(height)});
            } else if (element == "image") {
                allow_attributes(child, {"name"});
                skin.images.push_back(to_utf16(required(child, "name")));
            } else if (element == "fontdef") {
                allow_attributes(child, {"spec"});
                skin.fonts.push_back(to_utf16(required(child, "spec")));
            } else if (element == "style") {
                read_style(child);
            } else if (element == "kind") {
                skin.kinds.push_back(read_node(child, {"name", "use"}, false));
            } else if (element == "form") {
                skin.forms.push_back(read_form(child, skin.forms));
            } else {
                fail(child, "unknown element");
            }
        }
    }

    Node read_form(const pugi::xml_node& element, const std::vector<Node>& earlier_forms)
    {
        Node form;
        if (const pugi::xml_attribute base_name = element.attribute("extends")) {
            const std::u16string wanted = to_utf16(base_name.value());
            const auto base = std::find_if(earlier_forms.begin(), earlier_forms.end(),
                                           [&](const Node& node) { return node.name == wanted; });
            if (base == earlier_forms.end())
                fail(element, "extends \"" + std::string(base_name.value()) + "\", which is not an earlier form");
            form = *base;
        }
        Node own = read_node(element, {"name", "extends", "use"}, true);
        form.name = own.name;
        merge_properties(form.properties, own.properties);
        for (Node& control : own.controls) {
            const auto existing = std::find_if(form.controls.begin(), form.controls.end(),
                                               [&](const Node& node) { return node.name == control.name; });
            if (existing == form.controls.end()) {
                form.controls.push_back(std::move(control));
                continue;
            }
            merge_properties(existing->properties, control.properties);
            if (control.listed) {
                existing->listed = true;
                existing->class_name = control.class_name;
            }
        }
        return form;
    }

    static void merge_properties(std::vector<Property>& into, const std::vector<Property>& from)
    {
        for (const Property& property : from) {
            const auto same = std::find_if(into.begin(), into.end(), [&](const Property& old) {
                return old.name == property.name && old.type() == property.type();
            });
            if (same == into.end())
                into.push_back(property);
            else
                *same = property;
        }
    }

    Node read_node(const pugi::xml_node& element, std::initializer_list<const char*> attributes, bool form)
    {
        allow_attributes(element, attributes);
        Node node;
        node.name = to_utf16(required(element, "name"));
        for (const pugi::xml_node& child : element.children()) {
            if (child.type() != pugi::node_element)
                continue;
            if (form && std::string(child.name()) == "control") {
                Node control = read_node(child, {"name", "class", "use"}, false);
                if (const pugi::xml_attribute class_name = child.attribute("class")) {
                    control.listed = true;
                    control.class_name = to_utf16(class_name.value());
                }
                for (const Node& other : node.controls) {
                    if (other.name == control.name)
                        fail(child, "a second control named \"" + to_utf8(control.name) + "\"");
                }
                node.controls.push_back(std::move(control));
                continue;
            }
            Property property = read_property(child);
            for (const Property& other : node.properties) {
                if (other.name == property.name && other.type() == property.type())
                    fail(child, "a second property \"" + to_utf8(property.name) + "\" of this type");
            }
            node.properties.push_back(std::move(property));
        }
        if (const pugi::xml_attribute names = element.attribute("use")) {
            std::vector<Property> own = std::move(node.properties);
            node.properties = style_properties(element, names.value());
            merge_properties(node.properties, own);
        }
        return node;
    }

    // A style is a named set of properties that kinds, forms, controls and other styles
    // take with use="NAME ...": the styles' properties in order, then the node's own.
    void read_style(const pugi::xml_node& element)
    {
        Node style = read_node(element, {"name", "use"}, false);
        if (styles_.count(style.name))
            fail(element, "a second style named \"" + to_utf8(style.name) + "\"");
        styles_[style.name] = std::move(style.properties);
    }

    std::vector<Property> style_properties(const pugi::xml_node& element, const std::string& names) const
    {
        std::vector<Property> properties;
        std::istringstream words(names);
        std::string name;
        while (words >> name) {
            const auto style = styles_.find(to_utf16(name));
            if (style == styles_.end())
                fail(element, "uses \"" + name + "\", which is not an earlier style");
            merge_properties(properties, style->second);
        }
        return properties;
    }

    Property read_property(const pugi::xml_node& element)
    {
        const std::string type = element.name();
        Property property;
        if (type == "picture") {
            allow_attributes(element, {"name", "image", "p1", "p2", "p3", "p4", "margins", "stretch"});
            property.name = to_utf16(required(element, "name"));
            property.value = read_picture(element);
            return property;
        }
        allow_attributes(element, {"name", "value"});
        property.name = to_utf16(required(element, "name"));
        const std::string value = required(element, "value");
        if (type == "int") {
            property.value = static_cast<int32_t>(integers(element, "value", value, 1, INT32_MIN, INT32_MAX)[0]);
        } else if (type == "point") {
            const auto xy = integers(element, "value", value, 2, INT16_MIN, INT16_MAX);
            property.value = PointValue{static_cast<int16_t>(xy[0]), static_cast<int16_t>(xy[1])};
        } else if (type == "string") {
            property.value = to_utf16(value);
        } else if (type == "color") {
            property.value = read_color(element, value);
        } else if (type == "font") {
            property.value = FontValue{to_utf16(value)};
        } else {
            fail(element, "unknown element (properties are int, point, string, color, picture and font)");
        }
        return property;
    }

    static ColorValue read_color(const pugi::xml_node& element, const std::string& text)
    {
        const bool well_formed = (text.size() == 7 || text.size() == 9) && text[0] == '#' &&
                                 std::all_of(text.begin() + 1, text.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
        if (!well_formed)
            fail(element, "value=\"" + text + "\" is not a colour #rrggbb or #rrggbbxx");
        ColorValue color;
        for (size_t i = 1; i + 1 < text.size(); i += 2)
            color.bytes[i / 2] = static_cast<uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16));
        return color;
    }

    PictureValue read_picture(const pugi::xml_node& element)
    {
        PictureValue picture;
        picture.image = to_utf16(required(element, "image"));
        const std::string stretch = element.attribute("stretch").value();
        if (stretch != "" && stretch != "true" && stretch != "false")
            fail(element, "stretch=\"" + stretch + "\" must be true or false");
        picture.stretch = stretch == "true";

        auto point = [&](const char* name) -> std::optional<std::pair<int64_t, int64_t>> {
            const pugi::xml_attribute attribute = element.attribute(name);
            if (!attribute)
                return std::nullopt;
            const auto xy = integers(element, name, attribute.value(), 2, 0, UINT16_MAX);
            return std::make_pair(xy[0], xy[1]);
        };
        const auto p1 = point("p1").value_or(std::make_pair(int64_t{0}, int64_t{0}));
        auto p4 = point("p4");
        if (!p4) {
            const auto size = png_size(image_folder_ / (to_utf8(picture.image) + ".png"));
            if (!size)
                fail(element, "needs p4, or the PNG file " + to_utf8(picture.image) + ".png in " +
                                  image_folder_.string() + " to take its size from");
            p4 = std::make_pair(int64_t{size->first}, int64_t{size->second});
        }
        std::vector<int64_t> margins = {0, 0, 0, 0};
        if (const pugi::xml_attribute attribute = element.attribute("margins"))
            margins = integers(element, "margins", attribute.value(), 4, 0, UINT16_MAX);
        const auto p2 = point("p2").value_or(std::make_pair(p1.first + margins[0], p1.second + margins[1]));
        const auto p3 = point("p3").value_or(std::make_pair(p4->first - margins[2], p4->second - margins[3]));
        const std::pair<int64_t, int64_t> points[4] = {p1, p2, p3, *p4};
        for (int i = 0; i < 4; ++i) {
            if (points[i].first < 0 || points[i].first > UINT16_MAX || points[i].second < 0 ||
                points[i].second > UINT16_MAX)
                fail(element, "margins leave the picture's points outside 0 to 65535");
            picture.x[i] = static_cast<uint16_t>(points[i].first);
            picture.y[i] = static_cast<uint16_t>(points[i].second);
            if (i > 0 && (picture.x[i] < picture.x[i - 1] || picture.y[i] < picture.y[i - 1]))
                fail(element, "points must run from the top-left (p1) to the bottom-right (p4); p" +
                                  std::to_string(i + 1) + " lies before p" + std::to_string(i));
        }
        return picture;
    }

    const std::string& xml_;
    std::filesystem::path image_folder_;
    std::map<std::u16string, std::vector<Property>> styles_;
};

} // namespace

bool parse_skin_text(const std::string& xml, const std::filesystem::path& image_folder, SkinSource& skin,
                     std::string& error)
{
    return SourceParser(xml, image_folder).parse(skin, error);
}

bool parse_skin_source(const std::filesystem::path& file, const std::filesystem::path& image_folder,
                       SkinSource& skin, std::string& error)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        error = file.string() + ": cannot be opened";
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (!parse_skin_text(text.str(), image_folder, skin, error)) {
        error = file.string() + ": " + error;
        return false;
    }
    return true;
}

} // namespace skinc
