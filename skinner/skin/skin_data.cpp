#include "skinner/skin/skin_data.h"

#include <cstring>
#include <limits>
#include <unordered_set>

namespace skinner {

using namespace skin_format;
using Offset = SkinData::Offset;

namespace {

constexpr Offset no_string = std::numeric_limits<Offset>::max();

// Walks everything a lookup can reach and proves it lies inside the block.
class SkinChecker {
public:
    SkinChecker(const uint8_t* bytes, size_t size) : bytes_(bytes), size_(size) {}

    bool check(std::vector<Offset>& names)
    {
        if (size_ < header_size)
            return fail("shorter than " + std::to_string(header_size) + " bytes");
        if (size_ > std::numeric_limits<Offset>::max())
            return fail("larger than 4 GiB");
        if (!text_field_ok(key_offset))
            return fail("version key field is not a terminated string padded with zeros");
        if (!text_field_ok(devices_offset))
            return fail("devices field is not a terminated string padded with zeros");
        if (std::memcmp(bytes_ + magic_offset, magic, sizeof magic) != 0)
            return fail("wrong magic");
        index_string_ends();
        return check_names(names) && check_tree(u32(form_root_offset), true, "form") &&
               check_tree(u32(kind_root_offset), false, "kind");
    }

    const std::string& problem() const { return problem_; }

private:
    bool fail(std::string problem)
    {
        problem_ = std::move(problem);
        return false;
    }

    static std::string at(Offset offset) { return " at offset " + std::to_string(offset); }

    uint16_t u16(uint64_t at) const { return static_cast<uint16_t>(bytes_[at] | bytes_[at + 1] << 8); }
    uint32_t u32(uint64_t at) const
    {
        return static_cast<uint32_t>(u16(at)) | static_cast<uint32_t>(u16(at + 2)) << 16;
    }
    bool fits(uint64_t offset, uint64_t length) const { return offset <= size_ && length <= size_ - offset; }

    bool text_field_ok(Offset field) const
    {
        uint32_t unit = 0;
        while (unit < text_field_units && u16(field + 2 * unit) != 0)
            ++unit;
        if (unit == text_field_units)
            return false;
        for (; unit < text_field_units; ++unit) {
            if (u16(field + 2 * unit) != 0)
                return false;
        }
        return true;
    }

    // string_ends_[o] is the offset of the terminator of the string starting at o, so
    // that every string of the skin is checked in constant time however they overlap.
    void index_string_ends()
    {
        string_ends_.assign(size_, no_string);
        for (size_t o = size_ - 1; o-- > 0;) {
            if (u16(o) == 0)
                string_ends_[o] = static_cast<Offset>(o);
            else if (o + 3 < size_)
                string_ends_[o] = string_ends_[o + 2];
        }
    }

    bool string_ok(uint64_t offset) const { return offset < size_ && string_ends_[offset] != no_string; }

    // Compares two stored strings; both are known to be terminated.
    int compare_stored(Offset a, Offset b) const
    {
        for (;; a += 2, b += 2) {
            const uint16_t x = u16(a);
            const uint16_t y = u16(b);
            if (x != y)
                return x < y ? -1 : 1;
            if (x == 0)
                return 0;
        }
    }

    bool check_names(std::vector<Offset>& names)
    {
        const uint64_t count = uint64_t{u32(picture_count_offset)} + u32(font_count_offset);
        if (count > size_ / 2)
            return fail("more picture and font names than the skin can hold");
        names.clear();
        names.reserve(count);
        uint64_t offset = u32(names_offset);
        for (uint64_t i = 0; i < count; ++i) {
            if (!string_ok(offset))
                return fail("picture or font name " + std::to_string(i) + " runs past the end");
            names.push_back(static_cast<Offset>(offset));
            offset = string_ends_[offset] + uint64_t{2};
        }
        return true;
    }

    // Checks a search tree: every node inside the block, every name strictly between
    // the bounds its path sets (which also rules out cycles), every node's records.
    bool check_tree(Offset root, bool forms, const char* what)
    {
        struct Pending {
            Offset node;
            Offset lower; // names must sort after this string (no_string: no bound)
            Offset upper; // and before this one
        };
        std::vector<Pending> pending;
        if (root != 0)
            pending.push_back({root, no_string, no_string});
        while (!pending.empty()) {
            const Pending item = pending.back();
            pending.pop_back();
            if (!fits(item.node, node_size))
                return fail(std::string(what) + " node" + at(item.node) + " lies outside the skin");
            const Offset name = u32(item.node + node_name);
            if (!string_ok(name))
                return fail(std::string(what) + " node" + at(item.node) + " has no terminated name");
            if ((item.lower != no_string && compare_stored(name, item.lower) <= 0) ||
                (item.upper != no_string && compare_stored(name, item.upper) >= 0))
                return fail(std::string(what) + " node" + at(item.node) + " is out of search-tree order");
            if (!check_records(item.node) || (forms && !check_form(item.node)))
                return false;
            if (const Offset left = u32(item.node + node_left))
                pending.push_back({left, item.lower, name});
            if (const Offset right = u32(item.node + node_right))
                pending.push_back({right, name, item.upper});
        }
        return true;
    }

    bool check_form(Offset form)
    {
        const uint64_t count = u32(form + node_control_count);
        if (!fits(uint64_t{form} + node_size, count * control_entry_size))
            return fail("control list of the form" + at(form) + " runs past the end");
        for (uint64_t i = 0; i < count; ++i) {
            const uint64_t entry = form + node_size + i * control_entry_size;
            if (!string_ok(u16(entry)) || !string_ok(u16(entry + 2)))
                return fail("control list entry " + std::to_string(i) + " of the form" + at(form) +
                            " names no terminated string");
        }
        const Offset controls = u32(form + node_control_root);
        if (controls == 0 || !checked_control_trees_.insert(controls).second)
            return true;
        return check_tree(controls, false, "control");
    }

    bool check_records(Offset node)
    {
        for (int type = 0; type < record_type_count; ++type) {
            const Offset begin = u32(node + node_arrays + 8 * type);
            const Offset end = u32(node + node_arrays + 8 * type + 4);
            const uint32_t size = record_sizes[type];
            if (begin > end || end > size_ || (end - begin) % size != 0)
                return fail("record array " + std::to_string(type) + " of the node" + at(node) + " is malformed");
            for (Offset record = begin; record < end; record += size) {
                if (!string_ok(u16(record)))
                    return fail("record" + at(record) + " has no terminated name");
                if (record > begin && compare_stored(u16(record - size), u16(record)) >= 0)
                    return fail("records of the node" + at(node) + " are not sorted by name");
                if (!check_value(static_cast<Record>(type), record))
                    return false;
            }
        }
        return true;
    }

    bool check_value(Record type, Offset record)
    {
        switch (type) {
        case Record::String:
            if (!string_ok(u16(record + 2)))
                return fail("string record" + at(record) + " has no terminated value");
            break;
        case Record::Picture:
            if (bytes_[record + 18] >= u32(picture_count_offset))
                return fail("picture record" + at(record) + " names a missing picture");
            break;
        case Record::Font:
            if (u32(record + 4) >= u32(font_count_offset))
                return fail("font record" + at(record) + " names a missing font");
            break;
        default:
            break;
        }
        return true;
    }

    const uint8_t* bytes_;
    size_t size_;
    std::vector<Offset> string_ends_;
    std::unordered_set<Offset> checked_control_trees_;
    std::string problem_;
};

} // namespace

std::optional<SkinData> SkinData::open(const uint8_t* bytes, size_t size, std::string* problem)
{
    SkinData data(bytes, size);
    SkinChecker checker(bytes, size);
    if (!checker.check(data.names_)) {
        if (problem)
            *problem = checker.problem();
        return std::nullopt;
    }
    return data;
}

SkinResolution SkinData::resolution(uint32_t index) const
{
    const Offset entry = resolutions_offset + index * resolution_size;
    return {static_cast<int32_t>(u32(entry)), static_cast<int32_t>(u32(entry + 4))};
}

std::u16string SkinData::text(Offset at) const
{
    std::u16string result;
    for (uint16_t unit; (unit = u16(at)) != 0; at += 2)
        result.push_back(static_cast<char16_t>(unit));
    return result;
}

int SkinData::compare(std::u16string_view wanted, Offset stored) const
{
    for (const char16_t c : wanted) {
        const uint16_t unit = u16(stored);
        if (unit == 0)
            return 1; // the stored name is a prefix of the wanted one
        if (unit != c)
            return c < unit ? -1 : 1;
        stored += 2;
    }
    return u16(stored) == 0 ? 0 : -1;
}

bool SkinData::starts_with(Offset stored, std::u16string_view prefix) const
{
    for (const char16_t c : prefix) {
        const uint16_t unit = u16(stored);
        if (unit == 0 || unit != c)
            return false;
        stored += 2;
    }
    return true;
}

std::pair<Offset, Offset> SkinData::control_entry(Offset form, uint32_t index) const
{
    const Offset entry = form + node_size + index * control_entry_size;
    return {u16(entry), u16(entry + 2)};
}

Offset SkinData::find_node(Offset root, std::u16string_view name, uint32_t& comparisons) const
{
    Offset node = root;
    while (node != 0) {
        ++comparisons;
        const int order = compare(name, u32(node + node_name));
        if (order == 0)
            return node;
        node = order < 0 ? left(node) : right(node);
    }
    return 0;
}

uint32_t SkinData::record_count(Offset node, Record type) const
{
    const Offset array = node + node_arrays + 8 * static_cast<int>(type);
    return (u32(array + 4) - u32(array)) / record_size(type);
}

Offset SkinData::record(Offset node, Record type, uint32_t index) const
{
    return u32(node + node_arrays + 8 * static_cast<int>(type)) + index * record_size(type);
}

Offset SkinData::find_record(Offset node, Record type, std::u16string_view name, uint32_t& comparisons) const
{
    uint32_t lo = 0;
    uint32_t hi = record_count(node, type);
    while (lo != hi) {
        const uint32_t mid = lo + (hi - lo) / 2;
        const Offset candidate = record(node, type, mid);
        ++comparisons;
        const int order = compare(name, record_name(candidate));
        if (order == 0)
            return candidate;
        if (order < 0)
            hi = mid;
        else
            lo = mid + 1;
    }
    return 0;
}

std::pair<int16_t, int16_t> SkinData::point_value(Offset record) const
{
    return {static_cast<int16_t>(u16(record + 2)), static_cast<int16_t>(u16(record + 4))};
}

SkinPictureRecord SkinData::picture_value(Offset record) const
{
    SkinPictureRecord picture;
    for (int i = 0; i < 4; ++i) {
        picture.x[i] = u16(record + 2 + 4 * i);
        picture.y[i] = u16(record + 4 + 4 * i);
    }
    picture.picture = bytes_[record + 18];
    picture.stretch = bytes_[record + 19] != 0;
    return picture;
}

} // namespace skinner
