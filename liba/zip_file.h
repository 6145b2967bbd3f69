#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "liba/stream.h"

namespace liba {

// Reads the members of a zip archive stored without compression, walking the local
// headers in file order (the central directory is not needed for stored members).
// Every offset and size is checked against the archive's real size: a damaged
// member ends the walk, and reads never leave the current member.
class ZipFile : public ResourceReaderWriterBase {
public:
    // Whether a member's name is the name asked for.
    using NameMatch = std::function<bool(std::u16string_view member, std::u16string_view wanted)>;

    // Reads the archive from a stream of its bytes (null: an archive with no members).
    ZipFile(std::unique_ptr<ResourceReader> archive, NameMatch same_name);

    // Makes the next member current and returns its name; empty at the end.
    std::u16string next_entry();
    // Makes the first member whose name matches name current.
    bool find_entry(std::u16string_view name);

    int32_t read(void* buffer, int32_t count) override;
    int32_t skip(int32_t count) override;
    int32_t size() override { return member_size_; }
    bool seek(int32_t position) override;
    int32_t tell() override { return position_; }
    int32_t write(const void*, int32_t) override { return 0; }
    int32_t data_offset() const { return data_offset_; }

private:
    int32_t remaining() const;

    std::unique_ptr<ResourceReader> archive_;
    NameMatch same_name_;
    int32_t next_header_ = 0;
    int32_t position_ = 0;
    int32_t data_offset_ = 0;
    int32_t member_size_ = 0;
};

} // namespace liba
