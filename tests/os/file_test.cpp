#include "os/file.h"

#include <gtest/gtest.h>
#include <string>

#include "liba/text.h"
#include "os/zip_archive.h"
#include "test_folder.h"

namespace {

std::u16string wide(const std::filesystem::path& path) { return liba::to_wide(path.string()); }

std::string read_all(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(FileTest, OpenModes)
{
    const auto root = make_test_folder();
    const auto path = root / "f.bin";

    os::File missing(wide(path), os::File::read_only);
    EXPECT_FALSE(missing.ok());
    EXPECT_EQ(missing.errors().at(0), u"can't open file");
    char byte;
    EXPECT_EQ(missing.read(&byte, 1), 0);
    EXPECT_FALSE(missing.seek(0));

    for (int mode : {os::File::truncate, os::File::append, os::File::read_write}) {
        std::filesystem::remove(path);
        os::File created(wide(path), mode);
        EXPECT_TRUE(created.ok()) << mode;
        EXPECT_TRUE(std::filesystem::exists(path)) << mode;
    }

    write_file(path, "hello");
    {
        os::File kept(wide(path), os::File::read_write);
        EXPECT_EQ(kept.tell(), 0);
        EXPECT_EQ(kept.size(), 5);
        EXPECT_EQ(kept.write("J", 1), 1);
    }
    EXPECT_EQ(read_all(path), "Jello");
    {
        os::File appended(wide(path), os::File::append);
        EXPECT_EQ(appended.tell(), 5);
        appended.write("!", 1);
    }
    EXPECT_EQ(read_all(path), "Jello!");
    {
        os::File truncated(wide(path), os::File::truncate);
        EXPECT_EQ(truncated.size(), 0);
    }
    EXPECT_EQ(read_all(path), "");
}

TEST(FileTest, ReadSkipSeekTell)
{
    const auto root = make_test_folder();
    write_file(root / "f.bin", "0123456789");
    os::File file(wide(root / "f.bin"), os::File::read_only);
    char buffer[16] = {};
    EXPECT_EQ(file.read(buffer, 0), 0);
    EXPECT_EQ(file.skip(3), 3);
    EXPECT_EQ(file.read(buffer, 4), 4);
    EXPECT_EQ(std::string(buffer, 4), "3456");
    EXPECT_EQ(file.tell(), 7);
    EXPECT_EQ(file.read(buffer, 16), 3) << "short read at the end";
    EXPECT_TRUE(file.seek(1));
    EXPECT_EQ(file.read(buffer, 1), 1);
    EXPECT_EQ(buffer[0], '1');
    EXPECT_EQ(file.write("x", 1), 0) << "a file opened for reading is not written";
}

TEST(FileTest, FoldersAreNotFiles)
{
    const auto root = make_test_folder();
    for (int mode : {os::File::read_only, os::File::read_write}) {
        os::File folder(wide(root), mode);
        EXPECT_FALSE(folder.ok()) << mode;
    }
}

TEST(FileTest, FilesOfTwoGigabytesAreRefused)
{
    const auto root = make_test_folder();
    const auto path = root / "huge.bin";
    { std::ofstream(path, std::ios::binary); }
    std::filesystem::resize_file(path, (1ull << 31) + 10); // sparse: no disk used
    os::File file(wide(path), os::File::read_only);
    EXPECT_FALSE(file.ok());
    EXPECT_EQ(file.size(), 0);
}

std::string u16le(uint32_t value, int bytes)
{
    std::string out;
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

// A local header and data of one member; compressed_size differs for deflated members.
std::string member(const std::string& name, const std::string& data, int64_t claimed_size = -1, bool deflated = false)
{
    const uint32_t size = claimed_size < 0 ? static_cast<uint32_t>(data.size()) : static_cast<uint32_t>(claimed_size);
    return u16le(0x04034b50, 4) + std::string(14, '\0') + u16le(deflated ? size / 2 : size, 4) + u16le(size, 4) +
           u16le(static_cast<uint32_t>(name.size()), 2) + u16le(3, 2) + name + "xyz" + data;
}

TEST(ZipFileTest, FindsMembersIgnoringCaseAndSeparators)
{
    const auto root = make_test_folder();
    write_file(root / "a.zip", member("skins/Default.skin", "SKINDATA") + member("pics/a.png", "PNG!"));
    os::ZipArchive zip(wide(root / "a.zip"));
    ASSERT_TRUE(zip.find_entry(u"PICS\\A.PNG"));
    EXPECT_EQ(zip.size(), 4);
    char buffer[32] = {};
    EXPECT_EQ(zip.read(buffer, 32), 4) << "never beyond the member";
    EXPECT_EQ(std::string(buffer, 4), "PNG!");
    EXPECT_EQ(zip.read(buffer, 32), 0);

    ASSERT_TRUE(zip.find_entry(u"skins/default.skin/"));
    EXPECT_TRUE(zip.seek(4));
    EXPECT_EQ(zip.read(buffer, 2), 2);
    EXPECT_EQ(std::string(buffer, 2), "DA");
    EXPECT_TRUE(zip.seek(100));
    EXPECT_EQ(zip.read(buffer, 2), 0) << "after seeking past the end nothing is read";
    EXPECT_FALSE(zip.find_entry(u"missing"));
}

TEST(ZipFileTest, WalkInOrderAndStopAtDamage)
{
    const auto root = make_test_folder();
    write_file(root / "b.zip", member("one", "1") + member("packed", "zzzz", -1, true) + member("after", "2"));
    os::ZipArchive zip(wide(root / "b.zip"));
    EXPECT_EQ(zip.next_entry(), u"one");
    EXPECT_EQ(zip.next_entry(), u"");
    EXPECT_FALSE(zip.find_entry(u"after")) << "members after a compressed one are not reached";
    EXPECT_EQ(zip.write("x", 1), 0);
}

TEST(ZipFileTest, HostileArchivesGiveNoMembers)
{
    const auto root = make_test_folder();
    const std::string good = member("name", "data");
    const std::pair<const char*, std::string> cases[] = {
        {"empty", ""},
        {"truncated header", good.substr(0, 20)},
        {"truncated name", good.substr(0, 32)},
        {"size beyond the archive", member("name", "data", 0x7ffffff0)},
        {"size beyond 2 GiB", member("name", "data", 0xfffffff0)},
        {"not a zip", std::string(100, 'P')},
    };
    for (const auto& [label, bytes] : cases) {
        write_file(root / "bad.zip", bytes);
        os::ZipArchive zip(wide(root / "bad.zip"));
        EXPECT_FALSE(zip.find_entry(u"name")) << label;
        char buffer[8];
        EXPECT_EQ(zip.read(buffer, 8), 0) << label;
    }
    os::ZipArchive missing(u"/no/such.zip");
    EXPECT_EQ(missing.next_entry(), u"");
}

TEST(ReadTextTest, ByteOrderMarkAndLength)
{
    const auto root = make_test_folder();
    const std::pair<std::string, std::u16string> cases[] = {
        {std::string("\xff\xfe\x41\x00", 4), u"A"},
        {std::string("\xff\xfe\x41", 3), u"\u00ff\u00feA"},
        {"plain", u"plain"},
        {"\xc3\xa9t\xc3\xa9", u"\u00e9t\u00e9"},
        {"\xef\xbb\xbfhi", u"\ufeffhi"},
        {"", u""},
        {"x", u"x"},
    };
    for (const auto& [bytes, text] : cases) {
        write_file(root / "t.txt", bytes);
        os::File file(wide(root / "t.txt"), os::File::read_only);
        EXPECT_EQ(liba::read_text(file, 0x7fffffff), text) << bytes;
    }
    write_file(root / "t.txt", "abcdef");
    os::File file(wide(root / "t.txt"), os::File::read_only);
    EXPECT_EQ(liba::read_text(file, 4), u"abcd");
}

} // namespace
