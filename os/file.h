#pragma once

#include <string_view>

#include "liba/nocopy.h"
#include "liba/stream.h"

namespace os {

// A file on disk, readable and writable through the stream interfaces. The path may
// hold a path macro. Sizes and positions are 32-bit: a file of 2 GiB or more is
// refused with an error rather than read with a wrapped size.
class File : public liba::ResourceReaderWriterBase, liba::Nocopy {
public:
    enum Mode {
        read_only = 0,   // must exist
        truncate = 1,    // write; created or emptied
        append = 2,      // write; created or opened, positioned at the end
        read_write = 3,  // created or opened, contents kept
    };

    File(std::u16string_view path, int mode);
    ~File() override;

    int32_t read(void* buffer, int32_t count) override;
    int32_t write(const void* buffer, int32_t count) override;
    int32_t skip(int32_t count) override;
    int32_t size() override;
    bool seek(int32_t position) override;
    int32_t tell() override;
    void flush();
    bool is_open() const { return descriptor_ != -1; }

protected:
    // A file that adopts its descriptor later; until then every operation fails.
    File() = default;
    // Takes over an open descriptor, or records the error for -1.
    void adopt(int descriptor);
    int descriptor() const { return descriptor_; }
    // Closes the descriptor now; false when the close reported a lost write.
    bool close_descriptor();

private:
    int descriptor_ = -1;
};

} // namespace os
