#include "os/xml_document.h"

#include <pugixml.hpp>

#include "liba/text.h"
#include "os/atomic_file.h"
#include "os/file.h"
#include "os/path.h"

namespace os {

struct XmlAccess {
    static XmlNode make(const std::shared_ptr<pugi::xml_document>& document, const pugi::xml_node& node)
    {
        return node ? XmlNode(document, node.internal_object()) : XmlNode();
    }
    static pugi::xml_node node(const XmlNode& handle) { return pugi::xml_node(handle.node_); }
    static const std::shared_ptr<pugi::xml_document>& document(const XmlNode& handle) { return handle.document_; }
};

namespace {

bool is_name_start(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || byte >= 0x80;
}

bool is_name_character(char c)
{
    return is_name_start(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

// Names are checked here because the writer would put any text out verbatim and leave
// a file that no longer loads.
bool is_xml_name(const std::string& name)
{
    if (name.empty() || !is_name_start(name.front()))
        return false;
    for (const char c : name) {
        if (!is_name_character(c))
            return false;
    }
    return true;
}

pugi::xml_node element_of(const XmlNode& handle)
{
    const pugi::xml_node node = XmlAccess::node(handle);
    return node.type() == pugi::node_element ? node : pugi::xml_node();
}

// The parser accepts fragments; a well-formed document has exactly one root element.
bool has_one_root(const pugi::xml_document& document)
{
    int roots = 0;
    for (const pugi::xml_node child : document.children())
        roots += child.type() == pugi::node_element;
    return roots == 1;
}

class StringWriter : public pugi::xml_writer {
public:
    void write(const void* data, size_t size) override { bytes.append(static_cast<const char*>(data), size); }
    std::string bytes;
};

} // namespace

XmlNode new_document()
{
    const auto document = std::make_shared<pugi::xml_document>();
    return XmlAccess::make(document, *document);
}

XmlNode load_document(std::u16string_view path)
{
    // Read through File, which refuses folders and oversized files, rather than the
    // parser's own reader, which takes a folder's bogus size for the file's.
    File file(path, File::read_only);
    const int32_t size = file.size();
    std::string bytes(static_cast<size_t>(size), '\0');
    if (!file.ok() || file.read(bytes.data(), size) != size)
        return {};
    const auto document = std::make_shared<pugi::xml_document>();
    if (!document->load_buffer(bytes.data(), bytes.size()) || !has_one_root(*document))
        return {};
    return XmlAccess::make(document, *document);
}

bool save_document(const XmlNode& document, std::u16string_view path)
{
    const pugi::xml_node node = XmlAccess::node(document);
    if (node.type() != pugi::node_document)
        return false;
    StringWriter writer;
    XmlAccess::document(document)->save(writer, "\t", pugi::format_default, pugi::encoding_utf8);
    return replace_file(native_path(path), writer.bytes);
}

XmlNode find_child(const XmlNode& node, std::u16string_view name)
{
    const std::string wanted = liba::to_narrow(name);
    for (const pugi::xml_node child : XmlAccess::node(node).children()) {
        if (child.type() == pugi::node_element && wanted == child.name())
            return XmlAccess::make(XmlAccess::document(node), child);
    }
    return {};
}

XmlNode add_child(const XmlNode& parent, std::u16string_view name)
{
    pugi::xml_node node = XmlAccess::node(parent);
    const std::string element_name = liba::to_narrow(name);
    if (!is_xml_name(element_name))
        return {};
    if (node.type() == pugi::node_document) {
        if (node.find_child([](pugi::xml_node child) { return child.type() == pugi::node_element; }))
            return {};
    } else if (node.type() != pugi::node_element) {
        return {};
    }
    return XmlAccess::make(XmlAccess::document(parent), node.append_child(element_name.c_str()));
}

void set_attribute(const XmlNode& node, std::u16string_view name, std::u16string_view value)
{
    pugi::xml_node element = element_of(node);
    const std::string attribute_name = liba::to_narrow(name);
    if (!element || !is_xml_name(attribute_name))
        return;
    pugi::xml_attribute attribute = element.attribute(attribute_name.c_str());
    if (!attribute)
        attribute = element.append_attribute(attribute_name.c_str());
    attribute.set_value(liba::to_narrow(value).c_str());
}

bool get_attribute(const XmlNode& node, std::u16string_view name, std::u16string& value)
{
    const pugi::xml_attribute attribute = element_of(node).attribute(liba::to_narrow(name).c_str());
    if (!attribute)
        return false;
    value = liba::to_wide(attribute.value());
    return true;
}

} // namespace os
