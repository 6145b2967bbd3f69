#include "os/file.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "os/path.h"

namespace os {
namespace {

int open_flags(int mode)
{
    switch (mode) {
    case File::read_only:
        return O_RDONLY;
    case File::truncate:
        return O_WRONLY | O_CREAT | O_TRUNC;
    case File::append:
        return O_WRONLY | O_CREAT;
    default:
        return O_RDWR | O_CREAT;
    }
}

} // namespace

File::File(std::u16string_view path, int mode)
{
    const int descriptor = open(native_path(path).c_str(), open_flags(mode) | O_CLOEXEC, 0666);
    struct stat status{};
    if (descriptor == -1 || fstat(descriptor, &status) != 0 || S_ISDIR(status.st_mode)) {
        if (descriptor != -1)
            close(descriptor);
        add_error(u"can't open file");
        return;
    }
    if (status.st_size > INT32_MAX) {
        close(descriptor);
        add_error(u"file is 2 GiB or larger");
        return;
    }
    if (mode == append && lseek(descriptor, 0, SEEK_END) < 0) {
        close(descriptor);
        add_error(u"can't open file");
        return;
    }
    descriptor_ = descriptor;
}

File::~File() { close_descriptor(); }

void File::adopt(int descriptor)
{
    if (descriptor == -1)
        add_error(u"can't open file");
    else
        descriptor_ = descriptor;
}

bool File::close_descriptor()
{
    if (descriptor_ == -1)
        return true;
    const bool closed = close(descriptor_) == 0;
    descriptor_ = -1;
    return closed;
}

int32_t File::read(void* buffer, int32_t count)
{
    if (!ok() || count <= 0)
        return 0;
    // One request may come back short on pipes or signals; keep reading to the end.
    int32_t total = 0;
    while (total < count) {
        const ssize_t got = ::read(descriptor_, static_cast<char*>(buffer) + total, static_cast<size_t>(count - total));
        if (got <= 0)
            break;
        total += static_cast<int32_t>(got);
    }
    return total;
}

int32_t File::write(const void* buffer, int32_t count)
{
    if (!ok() || count <= 0)
        return 0;
    const off_t position = lseek(descriptor_, 0, SEEK_CUR);
    if (position < 0 || position + count > INT32_MAX) {
        add_error(u"file would reach 2 GiB");
        return 0;
    }
    int32_t total = 0;
    while (total < count) {
        const ssize_t put = ::write(descriptor_, static_cast<const char*>(buffer) + total, static_cast<size_t>(count - total));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            add_error(u"write failed");
            break;
        }
        total += static_cast<int32_t>(put);
    }
    return total;
}

int32_t File::skip(int32_t count)
{
    if (!ok() || count == 0)
        return 0;
    const off_t old_position = lseek(descriptor_, 0, SEEK_CUR);
    if (old_position < 0)
        return 0;
    const off_t new_position = lseek(descriptor_, count, SEEK_CUR);
    if (new_position < 0 || new_position > INT32_MAX)
        return 0;
    return static_cast<int32_t>(new_position - old_position);
}

int32_t File::size()
{
    struct stat status{};
    if (!ok() || fstat(descriptor_, &status) != 0)
        return 0;
    return static_cast<int32_t>(std::min<off_t>(status.st_size, INT32_MAX));
}

bool File::seek(int32_t position)
{
    return ok() && position >= 0 && lseek(descriptor_, position, SEEK_SET) == position;
}

int32_t File::tell()
{
    if (!ok())
        return 0;
    const off_t position = lseek(descriptor_, 0, SEEK_CUR);
    return position < 0 || position > INT32_MAX ? 0 : static_cast<int32_t>(position);
}

void File::flush()
{
    if (ok())
        fsync(descriptor_);
}

} // namespace os
