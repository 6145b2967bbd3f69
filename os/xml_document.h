#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace pugi {
class xml_document;
struct xml_node_struct;
} // namespace pugi

// A minimal XML document model: load, save, find and add child elements, read and
// write attributes. Every operation accepts an empty handle and then fails.
namespace os {

// A node of a document, or nothing when the operation that made it failed. A document
// is itself a node. Copies share the document, which lives while any handle to it does.
class XmlNode {
public:
    XmlNode() = default;

    bool empty() const { return node_ == nullptr; }
    explicit operator bool() const { return !empty(); }

private:
    friend struct XmlAccess;
    XmlNode(std::shared_ptr<pugi::xml_document> document, pugi::xml_node_struct* node)
        : document_(std::move(document)), node_(node)
    {
    }

    std::shared_ptr<pugi::xml_document> document_;
    pugi::xml_node_struct* node_ = nullptr;
};

XmlNode new_document();
// The document in the file (path may hold a path macro); empty when the file is
// missing or is not well-formed XML.
XmlNode load_document(std::u16string_view path);
// Writes a document (not one of its elements) as UTF-8. The file is replaced whole:
// an interrupted save leaves the previous file.
bool save_document(const XmlNode& document, std::u16string_view path);

// The first child element named name (case-sensitive); empty when there is none.
XmlNode find_child(const XmlNode& node, std::u16string_view name);
// Appends an element as the last child of a document or an element. Empty when name
// is not an XML name, or the document already has its one root element.
XmlNode add_child(const XmlNode& parent, std::u16string_view name);

// Failures (not an element, not an XML name) are ignored.
void set_attribute(const XmlNode& node, std::u16string_view name, std::u16string_view value);
// False, with value unchanged, when node is not an element or has no such attribute.
bool get_attribute(const XmlNode& node, std::u16string_view name, std::u16string& value);

} // namespace os
