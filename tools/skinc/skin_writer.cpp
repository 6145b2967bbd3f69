#include "tools/skinc/skin_writer.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

namespace skinc {

using namespace skinner::skin_format;

namespace {

// Nodes and properties in the order the writer lays them out.
std::vector<const Node*> sorted_nodes(const std::vector<Node>& nodes)
{
    std::vector<const Node*> sorted;
    for (const Node& node : nodes)
        sorted.push_back(&node);
    std::sort(sorted.begin(), sorted.end(), [](const Node* a, const Node* b) { return a->name < b->name; });
    return sorted;
}

std::vector<const Property*> sorted_properties(const Node& node)
{
    std::vector<const Property*> sorted;
    for (const Property& property : node.properties)
        sorted.push_back(&property);
    std::sort(sorted.begin(), sorted.end(), [](const Property* a, const Property* b) {
        return a->type() != b->type() ? a->type() < b->type() : a->name < b->name;
    });
    return sorted;
}

// Calls visit(node) for every kind, form and control in layout order.
template <typename Visit>
void for_each_node(const SkinSource& skin, Visit visit)
{
    for (const Node* kind : sorted_nodes(skin.kinds))
        visit(*kind);
    for (const Node* form : sorted_nodes(skin.forms)) {
        visit(*form);
        for (const Node* control : sorted_nodes(form->controls))
            visit(*control);
    }
}

// Numbers names in first-seen order.
class NameList {
public:
    void add(const std::u16string& name)
    {
        if (index_.emplace(name, static_cast<uint32_t>(names_.size())).second)
            names_.push_back(name);
    }
    uint32_t index(const std::u16string& name) const { return index_.at(name); }
    const std::vector<std::u16string>& names() const { return names_; }

private:
    std::vector<std::u16string> names_;
    std::map<std::u16string, uint32_t> index_;
};

void number_pictures_and_fonts(const SkinSource& skin, NameList& pictures, NameList& fonts)
{
    for (const std::u16string& image : skin.images)
        pictures.add(image);
    for (const std::u16string& font : skin.fonts)
        fonts.add(font);
    for_each_node(skin, [&](const Node& node) {
        for (const Property* property : sorted_properties(node)) {
            if (const auto* picture = std::get_if<PictureValue>(&property->value))
                pictures.add(picture->image);
            else if (const auto* font = std::get_if<FontValue>(&property->value))
                fonts.add(font->spec);
        }
    });
}

class SkinWriter {
public:
    explicit SkinWriter(const SkinSource& skin) : skin_(skin) { number_pictures_and_fonts(skin, pictures_, fonts_); }

    bool write(std::vector<uint8_t>& bytes, std::string& error)
    {
        if (!check_names(error) || !write_header(error) || !write_short_strings(error))
            return false;
        write_names_block();
        for_each_node(skin_, [&](const Node& node) { place_string(node.name); });

        std::vector<uint32_t> kinds;
        for (const Node* kind : sorted_nodes(skin_.kinds))
            kinds.push_back(write_node(*kind));
        std::vector<uint32_t> forms;
        for (const Node* form : sorted_nodes(skin_.forms)) {
            const uint32_t offset = write_node(*form);
            std::vector<uint32_t> controls;
            for (const Node* control : sorted_nodes(form->controls))
                controls.push_back(write_node(*control));
            put32(offset + node_control_root, link_tree(controls, 0, controls.size()));
            forms.push_back(offset);
        }
        put32(form_root_offset, link_tree(forms, 0, forms.size()));
        put32(kind_root_offset, link_tree(kinds, 0, kinds.size()));
        bytes = std::move(out_);
        return true;
    }

private:
    static bool duplicate_name(const std::vector<Node>& nodes, std::u16string& name)
    {
        const std::vector<const Node*> sorted = sorted_nodes(nodes);
        for (size_t i = 1; i < sorted.size(); ++i) {
            if (sorted[i]->name == sorted[i - 1]->name) {
                name = sorted[i]->name;
                return true;
            }
        }
        return false;
    }

    bool check_names(std::string& error) const
    {
        std::u16string name;
        if (duplicate_name(skin_.kinds, name)) {
            error = "two kinds are named \"" + to_utf8(name) + "\"";
            return false;
        }
        if (duplicate_name(skin_.forms, name)) {
            error = "two forms are named \"" + to_utf8(name) + "\"";
            return false;
        }
        for (const Node& form : skin_.forms) {
            if (duplicate_name(form.controls, name)) {
                error = "form \"" + to_utf8(form.name) + "\" has two controls named \"" + to_utf8(name) + "\"";
                return false;
            }
        }
        bool zero_inside = false;
        auto check = [&](const std::u16string& text) { zero_inside |= text.find(u'\0') != std::u16string::npos; };
        for_each_node(skin_, [&](const Node& node) {
            check(node.name);
            check(node.class_name);
            for (const Property& property : node.properties) {
                check(property.name);
                if (const auto* text = std::get_if<std::u16string>(&property.value))
                    check(*text);
            }
        });
        for (const std::u16string& text : pictures_.names())
            check(text);
        for (const std::u16string& text : fonts_.names())
            check(text);
        if (zero_inside) {
            error = "a name or text holds the character U+0000, which would end it early";
            return false;
        }
        if (pictures_.names().size() > 256) {
            error = "the skin uses " + std::to_string(pictures_.names().size()) +
                    " pictures; picture records address at most 256";
            return false;
        }
        return true;
    }

    bool write_text_field(uint32_t offset, const std::u16string& text, const char* what, std::string& error)
    {
        if (text.size() >= text_field_units) {
            error = std::string(what) + " \"" + to_utf8(text) + "\" is longer than " +
                    std::to_string(text_field_units - 1) + " characters";
            return false;
        }
        for (size_t i = 0; i < text.size(); ++i)
            put16(offset + 2 * static_cast<uint32_t>(i), text[i]);
        return true;
    }

    bool write_header(std::string& error)
    {
        out_.assign(header_size, 0);
        std::memcpy(out_.data() + magic_offset, magic, sizeof magic);
        if (!write_text_field(key_offset, skin_.key, "the version key", error) ||
            !write_text_field(devices_offset, skin_.devices, "the devices text", error))
            return false;
        if (skin_.resolutions.size() > resolution_count) {
            error = "more than " + std::to_string(resolution_count) + " resolutions";
            return false;
        }
        for (size_t i = 0; i < skin_.resolutions.size(); ++i) {
            const uint32_t entry = resolutions_offset + static_cast<uint32_t>(i) * resolution_size;
            put32(entry, static_cast<uint32_t>(skin_.resolutions[i].width));
            put32(entry + 4, static_cast<uint32_t>(skin_.resolutions[i].height));
        }
        put32(picture_count_offset, static_cast<uint32_t>(pictures_.names().size()));
        put32(font_count_offset, static_cast<uint32_t>(fonts_.names().size()));
        return true;
    }

    // Record names, string values and control-list names go first, so that they lie
    // within reach of the records' 16-bit offsets.
    bool write_short_strings(std::string& error)
    {
        std::set<std::u16string> strings;
        for_each_node(skin_, [&](const Node& node) {
            for (const Property& property : node.properties) {
                strings.insert(property.name);
                if (const auto* text = std::get_if<std::u16string>(&property.value))
                    strings.insert(*text);
            }
        });
        for (const Node& form : skin_.forms) {
            for (const Node& control : form.controls) {
                if (control.listed) {
                    strings.insert(control.name);
                    strings.insert(control.class_name);
                }
            }
        }
        for (const std::u16string& text : strings) {
            const uint32_t offset = place_string(text);
            if (offset >= short_offset_limit) {
                error = "record names and string values take " + std::to_string(out_.size() - header_size) +
                        " bytes or more; records address only the first " + std::to_string(short_offset_limit) +
                        " bytes of a skin, and \"" + to_utf8(text.substr(0, 40)) +
                        (text.size() > 40 ? "..." : "") + "\" starts at byte " + std::to_string(offset);
                return false;
            }
        }
        return true;
    }

    void write_names_block()
    {
        put32(names_offset, static_cast<uint32_t>(out_.size()));
        for (const std::u16string& name : pictures_.names())
            append_string(name);
        for (const std::u16string& spec : fonts_.names())
            append_string(spec);
    }

    uint32_t write_node(const Node& node)
    {
        const auto offset = static_cast<uint32_t>(out_.size());
        std::vector<const Node*> listed;
        for (const Node& control : node.controls) {
            if (control.listed)
                listed.push_back(&control);
        }
        out_.resize(out_.size() + node_size + control_entry_size * listed.size(), 0);
        put32(offset + node_name, strings_.at(node.name));
        put32(offset + node_control_count, static_cast<uint32_t>(listed.size()));
        for (size_t i = 0; i < listed.size(); ++i) {
            const uint32_t entry = offset + node_size + static_cast<uint32_t>(i) * control_entry_size;
            put16(entry, static_cast<uint16_t>(strings_.at(listed[i]->name)));
            put16(entry + 2, static_cast<uint16_t>(strings_.at(listed[i]->class_name)));
        }
        const std::vector<const Property*> properties = sorted_properties(node);
        for (int type = 0; type < record_type_count; ++type) {
            put32(offset + node_arrays + 8 * type, static_cast<uint32_t>(out_.size()));
            for (const Property* property : properties) {
                if (static_cast<int>(property->type()) == type)
                    write_record(*property);
            }
            put32(offset + node_arrays + 8 * type + 4, static_cast<uint32_t>(out_.size()));
        }
        return offset;
    }

    void write_record(const Property& property)
    {
        const auto at = static_cast<uint32_t>(out_.size());
        out_.resize(out_.size() + record_size(property.type()), 0);
        put16(at, static_cast<uint16_t>(strings_.at(property.name)));
        if (const auto* integer = std::get_if<int32_t>(&property.value)) {
            put32(at + 4, static_cast<uint32_t>(*integer));
        } else if (const auto* point = std::get_if<PointValue>(&property.value)) {
            put16(at + 2, static_cast<uint16_t>(point->x));
            put16(at + 4, static_cast<uint16_t>(point->y));
        } else if (const auto* text = std::get_if<std::u16string>(&property.value)) {
            put16(at + 2, static_cast<uint16_t>(strings_.at(*text)));
        } else if (const auto* picture = std::get_if<PictureValue>(&property.value)) {
            for (uint32_t i = 0; i < 4; ++i) {
                put16(at + 2 + 4 * i, picture->x[i]);
                put16(at + 4 + 4 * i, picture->y[i]);
            }
            out_[at + 18] = static_cast<uint8_t>(pictures_.index(picture->image));
            out_[at + 19] = picture->stretch ? 1 : 0;
        } else if (const auto* color = std::get_if<ColorValue>(&property.value)) {
            std::memcpy(out_.data() + at + 2, color->bytes, 4);
        } else if (const auto* font = std::get_if<FontValue>(&property.value)) {
            put32(at + 4, fonts_.index(font->spec));
        }
    }

    // Links nodes[first, last), sorted by name, into a balanced search tree.
    uint32_t link_tree(const std::vector<uint32_t>& nodes, size_t first, size_t last)
    {
        if (first == last)
            return 0;
        const size_t middle = first + (last - first) / 2;
        put32(nodes[middle] + node_left, link_tree(nodes, first, middle));
        put32(nodes[middle] + node_right, link_tree(nodes, middle + 1, last));
        return nodes[middle];
    }

    // Places a string once and answers its offset.
    uint32_t place_string(const std::u16string& text)
    {
        const auto [entry, added] = strings_.emplace(text, static_cast<uint32_t>(out_.size()));
        if (added)
            append_string(text);
        return entry->second;
    }

    void append_string(const std::u16string& text)
    {
        for (const char16_t unit : text) {
            out_.push_back(static_cast<uint8_t>(unit & 0xFF));
            out_.push_back(static_cast<uint8_t>(unit >> 8));
        }
        out_.push_back(0);
        out_.push_back(0);
    }

    void put16(uint32_t at, uint16_t value)
    {
        out_[at] = static_cast<uint8_t>(value & 0xFF);
        out_[at + 1] = static_cast<uint8_t>(value >> 8);
    }

    void put32(uint32_t at, uint32_t value)
    {
        put16(at, static_cast<uint16_t>(value & 0xFFFF));
        put16(at + 2, static_cast<uint16_t>(value >> 16));
    }

    const SkinSource& skin_;
    NameList pictures_;
    NameList fonts_;
    std::vector<uint8_t> out_;
    std::map<std::u16string, uint32_t> strings_;
};

} // namespace

bool write_skin(const SkinSource& skin, std::vector<uint8_t>& bytes, std::string& error)
{
    return SkinWriter(skin).write(bytes, error);
}

std::vector<std::u16string> picture_list(const SkinSource& skin)
{
    NameList pictures;
    NameList fonts;
    number_pictures_and_fonts(skin, pictures, fonts);
    return pictures.names();
}

} // namespace skinc
