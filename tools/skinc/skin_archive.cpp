#include "tools/skinc/skin_archive.h"

#include <array>
#include <cstdio>
#include <fstream>

namespace skinc {

namespace {

uint32_t crc32(const std::vector<uint8_t>& bytes)
{
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> entries{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t value = i;
            for (int bit = 0; bit < 8; ++bit)
                value = value & 1 ? 0xEDB88320u ^ (value >> 1) : value >> 1;
            entries[i] = value;
        }
        return entries;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (const uint8_t byte : bytes)
        crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

class LittleEndianWriter {
public:
    void u16(uint32_t value)
    {
        bytes.push_back(static_cast<uint8_t>(value & 0xFF));
        bytes.push_back(static_cast<uint8_t>(value >> 8 & 0xFF));
    }
    void u32(uint32_t value)
    {
        u16(value & 0xFFFF);
        u16(value >> 16);
    }
    void append(const void* data, size_t size)
    {
        const auto* first = static_cast<const uint8_t*>(data);
        bytes.insert(bytes.end(), first, first + size);
    }

    std::vector<uint8_t> bytes;
};

constexpr uint32_t version_needed = 10; // 1.0: stored members only
constexpr uint32_t dos_date_1980_01_01 = 0x21;

// The fields that the local header and the central directory share.
void member_fields(LittleEndianWriter& out, const ArchiveMember& member)
{
    out.u16(0); // flags
    out.u16(0); // method: stored
    out.u16(0); // time
    out.u16(dos_date_1980_01_01);
    out.u32(crc32(member.bytes));
    out.u32(static_cast<uint32_t>(member.bytes.size())); // compressed size
    out.u32(static_cast<uint32_t>(member.bytes.size())); // uncompressed size
    out.u16(static_cast<uint32_t>(member.name.size()));
    out.u16(0); // extra field length
}

} // namespace

std::vector<uint8_t> stored_zip(const std::vector<ArchiveMember>& members)
{
    LittleEndianWriter archive;
    LittleEndianWriter directory;
    for (const ArchiveMember& member : members) {
        const auto local_header = static_cast<uint32_t>(archive.bytes.size());
        archive.u32(0x04034B50);
        archive.u16(version_needed);
        member_fields(archive, member);
        archive.append(member.name.data(), member.name.size());
        archive.append(member.bytes.data(), member.bytes.size());

        directory.u32(0x02014B50);
        directory.u16(version_needed); // made by
        directory.u16(version_needed);
        member_fields(directory, member);
        directory.u16(0); // comment length
        directory.u16(0); // disk number
        directory.u16(0); // internal attributes
        directory.u32(0); // external attributes
        directory.u32(local_header);
        directory.append(member.name.data(), member.name.size());
    }
    const auto directory_offset = static_cast<uint32_t>(archive.bytes.size());
    archive.append(directory.bytes.data(), directory.bytes.size());
    archive.u32(0x06054B50);
    archive.u16(0); // this disk
    archive.u16(0); // disk of the directory
    archive.u16(static_cast<uint32_t>(members.size()));
    archive.u16(static_cast<uint32_t>(members.size()));
    archive.u32(static_cast<uint32_t>(directory.bytes.size()));
    archive.u32(directory_offset);
    archive.u16(0); // comment length
    return archive.bytes;
}

bool write_file(const std::filesystem::path& target, const std::vector<uint8_t>& bytes, std::string& error)
{
    std::filesystem::path temporary = target;
    temporary += ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            error = target.string() + ": cannot be written";
            return false;
        }
    }
    std::error_code failure;
    std::filesystem::rename(temporary, target, failure);
    if (failure) {
        std::filesystem::remove(temporary, failure);
        error = target.string() + ": cannot be written";
        return false;
    }
    return true;
}

} // namespace skinc
