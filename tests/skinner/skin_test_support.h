#pragma once

#include "liba/text.h"
#include "skinner/skin/skin_format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// Fixtures for the skin tests: scratch folders, skins compiled by skinc from source
// text, hand-made skin headers and stored zip archives.
namespace skin_test {

// A fresh folder of the running test's own, so that tests may run in parallel.
inline std::filesystem::path scratch_folder(const std::string& name)
{
    const char* root = std::getenv("MELODRIFT_TEST_TMP");
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::filesystem::path folder = std::filesystem::path(root ? root : "/tmp/melodrift-test") / "skin" /
                                   (std::string(test->test_suite_name()) + "." + test->name()) / name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

inline std::u16string wide(const std::filesystem::path& path) { return liba::to_wide(path.string()); }

inline void write_file(const std::filesystem::path& file, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void write_file(const std::filesystem::path& file, const std::string& text)
{
    write_file(file, std::vector<uint8_t>(text.begin(), text.end()));
}

inline std::vector<uint8_t> read_file(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Compiles skin source text with the skinc program; the skin's path, or an empty path
// with skinc's complaint in error.
inline std::filesystem::path compile_skin(const std::filesystem::path& folder, const std::string& name,
                                          const std::string& xml, std::string* error = nullptr)
{
    const std::filesystem::path source = folder / (name + ".xml");
    const std::filesystem::path skin = folder / (name + ".skin");
    const std::filesystem::path messages = folder / (name + ".txt");
    write_file(source, xml);
    const std::string command = std::string(MELODRIFT_BIN_DIR) + "/skinc '" + source.string() + "' -o '" +
                                skin.string() + "' 2>'" + messages.string() + "'";
    if (std::system(command.c_str()) != 0) {
        if (error) {
            std::ostringstream text;
            text << std::ifstream(messages).rdbuf();
            *error = text.str();
        }
        return {};
    }
    return skin;
}

inline void put16(std::vector<uint8_t>& bytes, size_t at, uint16_t value)
{
    bytes[at] = static_cast<uint8_t>(value & 0xFF);
    bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

inline void put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value)
{
    put16(bytes, at, static_cast<uint16_t>(value & 0xFFFF));
    put16(bytes, at + 2, static_cast<uint16_t>(value >> 16));
}

inline void put_text(std::vector<uint8_t>& bytes, size_t at, const std::u16string& text)
{
    for (size_t i = 0; i < text.size(); ++i)
        put16(bytes, at + 2 * i, text[i]);
}

struct Resolution {
    int32_t width;
    int32_t height;
};

// A skin of only a header: no forms, no kinds, no pictures, no fonts.
inline std::vector<uint8_t> header_only_skin(const std::u16string& key, const std::u16string& devices,
                                             const std::vector<Resolution>& resolutions)
{
    using namespace skinner::skin_format;
    std::vector<uint8_t> bytes(header_size, 0);
    std::copy(std::begin(magic), std::end(magic), bytes.begin());
    put_text(bytes, key_offset, key);
    put_text(bytes, devices_offset, devices);
    for (size_t i = 0; i < resolutions.size(); ++i) {
        put32(bytes, resolutions_offset + i * resolution_size, static_cast<uint32_t>(resolutions[i].width));
        put32(bytes, resolutions_offset + i * resolution_size + 4, static_cast<uint32_t>(resolutions[i].height));
    }
    return bytes;
}

struct ZipMember {
    std::string name;
    std::vector<uint8_t> bytes;
};

// A zip archive of stored members: local headers only, which is all the reader walks.
inline std::vector<uint8_t> stored_zip(const std::vector<ZipMember>& members)
{
    std::vector<uint8_t> archive;
    for (const ZipMember& member : members) {
        std::vector<uint8_t> header(30, 0);
        put32(header, 0, 0x04034B50);
        put16(header, 4, 10);
        put32(header, 18, static_cast<uint32_t>(member.bytes.size()));
        put32(header, 22, static_cast<uint32_t>(member.bytes.size()));
        put16(header, 26, static_cast<uint16_t>(member.name.size()));
        archive.insert(archive.end(), header.begin(), header.end());
        archive.insert(archive.end(), member.name.begin(), member.name.end());
        archive.insert(archive.end(), member.bytes.begin(), member.bytes.end());
    }
    return archive;
}

} // namespace skin_test
