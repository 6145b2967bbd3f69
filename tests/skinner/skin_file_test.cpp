// Finding, reading and checking skin files.

#include "liba/log.h"
#include "skinner/skin/skin_reader.h"
#include "tests/skinner/skin_test_support.h"

#include <gtest/gtest.h>

#include <functional>

using namespace skin_test;
using skinner::SkinData;
using skinner::SkinDevice;
using skinner::SkinReader;

namespace {

const platform::Size qvga{240, 320};
const SkinDevice pocket_pc{false, false};

bool valid_skin(const std::vector<uint8_t>& bytes)
{
    const auto folder = scratch_folder("valid");
    write_file(folder / "test.skin", bytes);
    return SkinReader(wide(folder / "test.skin"), qvga, pocket_pc).is_valid();
}

TEST(SkinFile, NeedsTheWholeHeader)
{
    std::vector<uint8_t> bytes = header_only_skin(u"Melodrift_1.00", u"", {{240, 320}});
    EXPECT_TRUE(valid_skin(bytes));
    bytes.pop_back();
    EXPECT_FALSE(valid_skin(bytes)) << "539 bytes";
}

TEST(SkinFile, HeaderOnlySkinHasNoForms)
{
    const auto folder = scratch_folder("empty");
    write_file(folder / "empty.skin", header_only_skin(u"Melodrift_1.00", u"", {{240, 320}}));
    EXPECT_EXIT(
        {
            SkinReader reader(wide(folder / "empty.skin"), qvga, pocket_pc);
            reader.form_node(u"Main");
        },
        testing::ExitedWithCode(liba::fatal_exit_code), "has no form \\{Main\\}");
}

TEST(SkinFile, TextFieldsMustEndInsideAndBeZeroAfter)
{
    using namespace skinner::skin_format;
    struct Case {
        const char* what;
        uint32_t field;
        std::u16string text;
        bool valid;
    };
    const std::u16string longest(31, u'k');
    const std::u16string full(32, u'k');
    const std::u16string trailing = u"PS" + std::u16string(1, u'\0') + u"x";
    const Case cases[] = {
        {"31-unit key", key_offset, longest, true},
        {"32-unit key without terminator", key_offset, full, false},
        {"key with a unit after its end", key_offset, trailing, false},
        {"31-unit devices", devices_offset, longest, true},
        {"32-unit devices without terminator", devices_offset, full, false},
        {"devices with a unit after its end", devices_offset, trailing, false},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = header_only_skin(u"", u"", {{240, 320}});
        put_text(bytes, c.field, c.text);
        EXPECT_EQ(valid_skin(bytes), c.valid) << c.what;
    }
}

TEST(SkinFile, WrongMagicIsInvalid)
{
    std::vector<uint8_t> bytes = header_only_skin(u"", u"", {});
    bytes[6] ^= 1;
    EXPECT_FALSE(valid_skin(bytes));
}

TEST(SkinFile, MissingFileIsInvalid)
{
    const auto folder = scratch_folder("missing");
    SkinReader reader(wide(folder / "absent.skin"), qvga, pocket_pc);
    EXPECT_FALSE(reader.is_valid());
    EXPECT_FALSE(reader.check_version(u"", qvga));
    EXPECT_EXIT(reader.find_node(u"Main", u"btnOk"), testing::ExitedWithCode(liba::fatal_exit_code), "was invalid, but no check_version");
}

TEST(SkinFile, ReadsTheSkinEntryOfAnArchiveWhateverItsCase)
{
    const auto folder = scratch_folder("archive");
    const std::vector<uint8_t> skin = header_only_skin(u"Zipped", u"", {{240, 320}});
    write_file(folder / "skin.zip",
               stored_zip({{"readme.txt", {'h', 'i'}}, {"skins/DEFAULT.SKIN", skin}, {"other.skin", {}}}));
    SkinReader reader(wide(folder / "skin.zip"), qvga, pocket_pc);
    ASSERT_TRUE(reader.is_valid());
    EXPECT_TRUE(reader.check_version(u"Zipped", qvga));
}

TEST(SkinFile, ArchiveWithoutSkinEntryIsReadAsPlainFile)
{
    const auto folder = scratch_folder("archive-no-skin");
    write_file(folder / "skin.zip", stored_zip({{"readme.txt", {'h', 'i'}}, {"skin.skin.txt", {}}}));
    EXPECT_FALSE(SkinReader(wide(folder / "skin.zip"), qvga, pocket_pc).is_valid());
}

TEST(SkinFile, ExtensionIsTakenAfterTheLastSeparator)
{
    const auto folder = scratch_folder("archive-dotted-folder");
    const std::vector<uint8_t> skin = header_only_skin(u"", u"", {});
    write_file(folder / "skin.zip", stored_zip({{"a.skin/readme", skin}}));
    EXPECT_FALSE(SkinReader(wide(folder / "skin.zip"), qvga, pocket_pc).is_valid());
}

// A skin with every kind of node, record and reference, to be damaged in one place.
const char damaged_source[] = R"(<skin key="K">
  <resolution width="240" height="320"/>
  <kind name="Button"><int name="Align" value="1"/></kind>
  <form name="Main">
    <point name="Size" value="240 268"/>
    <control name="btnOk" class="Button">
      <string name="Caption" value="OK"/>
      <picture name="Back" image="back" p1="0 0" p2="1 1" p3="2 2" p4="3 3"/>
      <font name="Font" value="12 0 0 0 Tahoma"/>
    </control>
    <control name="btnCancel" class="Button"/>
  </form>
</skin>)";

TEST(SkinFile, AnyBadReferenceMakesTheSkinInvalid)
{
    using namespace skinner::skin_format;
    const auto folder = scratch_folder("damaged");
    std::string error;
    const auto path = compile_skin(folder, "damaged", damaged_source, &error);
    ASSERT_FALSE(path.empty()) << error;
    const std::vector<uint8_t> good = read_file(path);
    ASSERT_TRUE(valid_skin(good));

    const auto data = SkinData::open(good.data(), good.size());
    ASSERT_TRUE(data);
    uint32_t comparisons = 0;
    const uint32_t form = data->form_root();
    const uint32_t control = data->find_node(data->control_root(form), u"btnOk", comparisons);
    const uint32_t kind = data->kind_root();
    const uint32_t string_record = data->record(control, SkinData::Record::String, 0);
    const uint32_t picture_record = data->record(control, SkinData::Record::Picture, 0);
    const uint32_t font_record = data->record(control, SkinData::Record::Font, 0);
    const uint32_t integers = kind + node_arrays; // begin, end of the IntegerNode array
    const auto size = static_cast<uint32_t>(good.size());

    struct Damage {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> apply;
    };
    const Damage damages[] = {
        {"form root past the end", [&](auto& b) { put32(b, form_root_offset, size - 10); }},
        {"kind root past the end", [&](auto& b) { put32(b, kind_root_offset, size); }},
        {"node name past the end", [&](auto& b) { put32(b, form + node_name, size + 2); }},
        {"node name without terminator", [&](auto& b) { put32(b, form + node_name, size - 1); }},
        {"array end past the end", [&](auto& b) { put32(b, integers + 4, size + 8); }},
        {"array end before begin", [&](auto& b) { put32(b, integers + 4, data->u32(integers) - 8); }},
        {"array of a partial record", [&](auto& b) { put32(b, integers + 4, data->u32(integers + 4) - 1); }},
        {"record name outside", [&](auto& b) { put16(b, data->record(kind, SkinData::Record::Integer, 0), 0xFFFF); }},
        {"string value outside", [&](auto& b) { put16(b, string_record + 2, 0xFFFF); }},
        {"picture index past the list", [&](auto& b) { b[picture_record + 18] = 1; }},
        {"font index past the list", [&](auto& b) { put32(b, font_record + 4, 1); }},
        {"control list past the end", [&](auto& b) { put32(b, form + node_control_count, 0x40000000); }},
        {"control list entry outside", [&](auto& b) { put16(b, form + node_size, 0xFFFF); }},
        {"control tree cycle", [&](auto& b) { put32(b, control + node_left, control); }},
        {"form tree loop to itself", [&](auto& b) { put32(b, form + node_right, form); }},
        {"names block past the end", [&](auto& b) { put32(b, names_offset, size); }},
        {"picture count beyond the data", [&](auto& b) { put32(b, picture_count_offset, 0xFFFFFFFF); }},
        {"control tree root past the end", [&](auto& b) { put32(b, form + node_control_root, size - 4); }},
    };
    for (const Damage& damage : damages) {
        std::vector<uint8_t> bytes = good;
        damage.apply(bytes);
        EXPECT_FALSE(valid_skin(bytes)) << damage.what;
    }
}

TEST(SkinFile, UnsortedRecordsOrTreeMakeTheSkinInvalid)
{
    using namespace skinner::skin_format;
    const auto folder = scratch_folder("unsorted");
    const auto path = compile_skin(folder, "unsorted", R"(<skin>
      <kind name="A"><int name="a" value="1"/><int name="b" value="2"/></kind>
      <kind name="B"/><kind name="C"/>
    </skin>)");
    ASSERT_FALSE(path.empty());
    const std::vector<uint8_t> good = read_file(path);
    const auto data = SkinData::open(good.data(), good.size());
    ASSERT_TRUE(data);
    uint32_t comparisons = 0;
    const uint32_t a = data->find_node(data->kind_root(), u"A", comparisons);
    const uint32_t first = data->record(a, SkinData::Record::Integer, 0);
    const uint32_t second = data->record(a, SkinData::Record::Integer, 1);

    std::vector<uint8_t> records_swapped = good;
    put16(records_swapped, first, data->record_name(second));
    put16(records_swapped, second, data->record_name(first));
    EXPECT_FALSE(valid_skin(records_swapped));

    std::vector<uint8_t> tree_swapped = good; // root B: left A, right C
    const uint32_t root = data->kind_root();
    put32(tree_swapped, root + node_left, data->right(root));
    put32(tree_swapped, root + node_right, data->left(root));
    EXPECT_FALSE(valid_skin(tree_swapped));
}

} // namespace
