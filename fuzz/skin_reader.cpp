// links: skinner
// Any bytes as a skin: the checks must refuse what they cannot prove in bounds, and
// everything a valid skin answers must come from inside it.

#include "fuzz_file.h"
#include "skinner/skin/skin_data.h"
#include "skinner/skin/skin_reader.h"


#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using skinner::SkinData;

namespace {

// Visits every node of a tree and reads all it holds, the way lookups do.
void read_tree(const SkinData& data, SkinData::Offset root, bool forms, int depth)
{
    if (root == 0 || depth > 64)
        return;
    uint32_t comparisons = 0;
    const std::u16string name = data.text(data.name(root));
    data.find_node(root, name, comparisons);
    for (int type = 0; type < skinner::skin_format::record_type_count; ++type) {
        const auto record_type = static_cast<SkinData::Record>(type);
        for (uint32_t i = 0; i < data.record_count(root, record_type); ++i) {
            const SkinData::Offset record = data.record(root, record_type, i);
            data.find_record(root, record_type, data.text(data.record_name(record)), comparisons);
            if (record_type == SkinData::Record::String)
                data.text(data.string_value(record));
            if (record_type == SkinData::Record::Picture)
                data.text(data.names().at(data.picture_value(record).picture));
            if (record_type == SkinData::Record::Font)
                data.text(data.names().at(data.picture_count() + data.font_value(record)));
        }
        data.find_record(root, record_type, u"Size", comparisons);
    }
    if (forms) {
        for (uint32_t i = 0; i < data.control_count(root); ++i) {
            const auto [control, class_name] = data.control_entry(root, i);
            data.find_node(data.control_root(root), data.text(control), comparisons);
            data.text(class_name);
        }
        read_tree(data, data.control_root(root), false, depth + 1);
    }
    read_tree(data, data.left(root), forms, depth + 1);
    read_tree(data, data.right(root), forms, depth + 1);
}

// The whole reader on the same bytes: loading, the scale choice, the form walk and the
// record lookups of the chosen form (only lookups that cannot end the program).
void read_as_file(const std::vector<uint8_t>& bytes)
{
    const std::u16string path = fuzz_file(bytes.data(), bytes.size());
    if (path.empty())
        return;
    skinner::SkinReader reader(path, {240, 320}, {false, false});
    if (!reader.is_valid())
        return;
    reader.check_version(u"Melodrift_1.00", {480, 640});
    for (const char16_t* form : {u"M", u"Main", u""}) {
        const SkinData::Offset node = reader.find_form(form);
        reader.point(node, u"Size");
        reader.string(node, u"Devices");
        reader.picture(node, u"Back");
        reader.color(node, u"Back");
        if (const auto font = reader.font(node, u"Font"))
            reader.font_spec(*font);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    // A copy of exactly the input's size, so that any read past it is caught.
    const std::vector<uint8_t> copy(bytes, bytes + size);
    const auto data = SkinData::open(copy.data(), copy.size());
    if (!data)
        return 0;
    data->key();
    data->devices();
    for (uint32_t i = 0; i < skinner::skin_format::resolution_count; ++i)
        data->resolution(i);
    for (const SkinData::Offset name : data->names())
        data->text(name);
    read_tree(*data, data->form_root(), true, 0);
    read_tree(*data, data->kind_root(), false, 0);
    read_as_file(copy);
    return 0;
}
