#include "tools/skinc/skin_dump.h"

#include "skinner/skin/skin_data.h"
#include "tools/skinc/skin_source.h"

#include <pugixml.hpp>

#include <cstdio>
#include <set>

namespace skinc {

using skinner::SkinData;
using skinner::skin_format::Record;
using Offset = SkinData::Offset;

namespace {

class SkinPrinter {
public:
    explicit SkinPrinter(const SkinData& data) : data_(data) {}

    void print(std::ostream& out)
    {
        pugi::xml_document document;
        document.append_child(pugi::node_comment)
            .set_value((" " + std::to_string(data_.size()) + " bytes ").c_str());
        pugi::xml_node skin = document.append_child("skin");
        skin.append_attribute("key") = utf8(data_.key()).c_str();
        skin.append_attribute("devices") = utf8(data_.devices()).c_str();

        uint32_t used = 0;
        for (uint32_t i = 0; i < skinner::skin_format::resolution_count; ++i) {
            const skinner::SkinResolution entry = data_.resolution(i);
            if (entry.width != 0 || entry.height != 0)
                used = i + 1;
        }
        for (uint32_t i = 0; i < used; ++i) {
            pugi::xml_node resolution = skin.append_child("resolution");
            resolution.append_attribute("width") = data_.resolution(i).width;
            resolution.append_attribute("height") = data_.resolution(i).height;
        }
        for (uint32_t i = 0; i < data_.names().size(); ++i) {
            const bool picture = i < data_.picture_count();
            skin.append_child(picture ? "image" : "fontdef")
                .append_attribute(picture ? "name" : "spec") = text(data_.names()[i]).c_str();
        }
        for (const Offset kind : in_order(data_.kind_root()))
            print_node(skin.append_child("kind"), kind);
        for (const Offset form : in_order(data_.form_root()))
            print_form(skin.append_child("form"), form);
        document.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
    }

private:
    static std::string utf8(const std::u16string& text) { return to_utf8(text); }
    std::string text(Offset at) const { return to_utf8(data_.text(at)); }

    std::vector<Offset> in_order(Offset root) const
    {
        std::vector<Offset> nodes;
        std::vector<Offset> path;
        Offset node = root;
        while (node != 0 || !path.empty()) {
            for (; node != 0; node = data_.left(node))
                path.push_back(node);
            node = path.back();
            path.pop_back();
            nodes.push_back(node);
            node = data_.right(node);
        }
        return nodes;
    }

    void print_form(pugi::xml_node element, Offset form) const
    {
        print_node(element, form);
        std::set<Offset> listed;
        for (uint32_t i = 0; i < data_.control_count(form); ++i) {
            const auto [name, class_name] = data_.control_entry(form, i);
            uint32_t comparisons = 0;
            const Offset control = data_.find_node(data_.control_root(form), data_.text(name), comparisons);
            if (control == 0) {
                element.append_child(pugi::node_comment)
                    .set_value((" listed without a node: " + text(name) + " (" + text(class_name) + ") ").c_str());
                continue;
            }
            listed.insert(control);
            pugi::xml_node child = element.append_child("control");
            print_node(child, control);
            child.insert_attribute_after("class", child.attribute("name")) = text(class_name).c_str();
        }
        for (const Offset control : in_order(data_.control_root(form))) {
            if (!listed.count(control))
                print_node(element.append_child("control"), control);
        }
    }

    void print_node(pugi::xml_node element, Offset node) const
    {
        element.append_attribute("name") = text(data_.name(node)).c_str();
        for (int type = 0; type < skinner::skin_format::record_type_count; ++type) {
            const auto record_type = static_cast<Record>(type);
            for (uint32_t i = 0; i < data_.record_count(node, record_type); ++i)
                print_record(element, record_type, data_.record(node, record_type, i));
        }
    }

    void print_record(pugi::xml_node node, Record type, Offset record) const
    {
        static const char* const elements[] = {"int", "point", "string", "picture", "color", "font"};
        pugi::xml_node element = node.append_child(elements[static_cast<int>(type)]);
        element.append_attribute("name") = text(data_.record_name(record)).c_str();
        switch (type) {
        case Record::Integer:
            element.append_attribute("value") = data_.integer_value(record);
            break;
        case Record::Point: {
            const auto [x, y] = data_.point_value(record);
            element.append_attribute("value") = (std::to_string(x) + " " + std::to_string(y)).c_str();
            break;
        }
        case Record::String:
            element.append_attribute("value") = text(data_.string_value(record)).c_str();
            break;
        case Record::Picture: {
            const skinner::SkinPictureRecord picture = data_.picture_value(record);
            element.append_attribute("image") = text(data_.names()[picture.picture]).c_str();
            static const char* const points[] = {"p1", "p2", "p3", "p4"};
            for (int i = 0; i < 4; ++i)
                element.append_attribute(points[i]) =
                    (std::to_string(picture.x[i]) + " " + std::to_string(picture.y[i])).c_str();
            if (picture.stretch)
                element.append_attribute("stretch") = "true";
            break;
        }
        case Record::Color: {
            const uint8_t* bytes = data_.color_value(record);
            char hex[10];
            if (bytes[3] == 0)
                std::snprintf(hex, sizeof hex, "#%02x%02x%02x", bytes[0], bytes[1], bytes[2]);
            else
                std::snprintf(hex, sizeof hex, "#%02x%02x%02x%02x", bytes[0], bytes[1], bytes[2], bytes[3]);
            element.append_attribute("value") = hex;
            break;
        }
        case Record::Font:
            element.append_attribute("value") = text(data_.names()[data_.picture_count() + data_.font_value(record)]).c_str();
            break;
        }
    }

    const SkinData& data_;
};

} // namespace

bool dump_skin(const std::vector<uint8_t>& bytes, std::ostream& out, std::string& error)
{
    const std::optional<SkinData> data = SkinData::open(bytes.data(), bytes.size(), &error);
    if (!data)
        return false;
    SkinPrinter(*data).print(out);
    return true;
}

} // namespace skinc
