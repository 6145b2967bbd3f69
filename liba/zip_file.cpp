#include "liba/zip_file.h"

#include <algorithm>
#include <vector>

#include "liba/text.h"

namespace liba {
namespace {

constexpr uint32_t local_header_signature = 0x04034b50;
constexpr int32_t skipped_header_fields = 14; // version, flags, method, time, date, CRC-32

} // namespace

ZipFile::ZipFile(std::unique_ptr<ResourceReader> archive, NameMatch same_name)
    : archive_(std::move(archive)), same_name_(std::move(same_name))
{
}

std::u16string ZipFile::next_entry()
{
    if (!archive_)
        return {};
    ResourceReader& archive = *archive_;
    const int64_t archive_size = archive.size();
    if (!archive.seek(next_header_))
        return {};
    if (read_u32(archive) != local_header_signature || archive.skip(skipped_header_fields) != skipped_header_fields)
        return {};
    const uint32_t compressed_size = read_u32(archive);
    const uint32_t uncompressed_size = read_u32(archive);
    const uint16_t name_length = read_u16(archive);
    const uint16_t extra_length = read_u16(archive);
    std::string name(name_length, '\0');
    if (archive.read(name.data(), name_length) != name_length)
        return {};
    if (extra_length > 0 && archive.skip(extra_length) != extra_length)
        return {};
    if (compressed_size != uncompressed_size)
        return {};
    const int64_t data_offset = archive.tell();
    if (data_offset + static_cast<int64_t>(uncompressed_size) > archive_size)
        return {}; // the member claims more bytes than the archive holds
    data_offset_ = static_cast<int32_t>(data_offset);
    member_size_ = static_cast<int32_t>(uncompressed_size);
    position_ = 0;
    next_header_ = data_offset_ + member_size_;
    return to_wide(name.c_str()); // a name ends at its first NUL byte
}

bool ZipFile::find_entry(std::u16string_view name)
{
    next_header_ = 0;
    for (;;) {
        const std::u16string entry = next_entry();
        if (entry.empty())
            return false;
        if (same_name_(entry, name))
            return true;
    }
}

int32_t ZipFile::remaining() const { return position_ >= member_size_ ? 0 : member_size_ - position_; }

int32_t ZipFile::read(void* buffer, int32_t count)
{
    const int32_t wanted = std::min(std::max(count, 0), remaining());
    if (wanted == 0)
        return 0;
    const int32_t got = archive_->read(buffer, wanted);
    position_ += got;
    return got;
}

int32_t ZipFile::skip(int32_t count)
{
    const int32_t wanted = std::min(std::max(count, 0), remaining());
    if (wanted == 0)
        return 0;
    const int32_t moved = archive_->skip(wanted);
    position_ += moved;
    return moved;
}

bool ZipFile::seek(int32_t position)
{
    if (position < 0)
        return false;
    position_ = position;
    return archive_ && archive_->seek(static_cast<int32_t>(std::min<int64_t>(int64_t{data_offset_} + position, INT32_MAX)));
}

} // namespace liba
