#include "os/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace os {
namespace {

bool write_all(int descriptor, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t put = ::write(descriptor, bytes.data(), bytes.size());
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        bytes.remove_prefix(static_cast<size_t>(put));
    }
    return true;
}

std::string folder_of(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Makes the rename itself durable; a failure here no longer endangers the contents.
void sync_folder(const std::string& folder)
{
    const int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor == -1)
        return;
    fsync(descriptor);
    close(descriptor);
}

int create_temporary(const std::string& path, std::string& temporary)
{
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = path + ".tmp." + std::to_string(getpid()) + "." + std::to_string(counter++);
        const int descriptor = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor != -1 || errno != EEXIST)
            return descriptor;
    }
    return -1;
}

} // namespace

bool replace_file(const std::string& path, std::string_view bytes)
{
    std::string temporary;
    const int descriptor = create_temporary(path, temporary);
    if (descriptor == -1)
        return false;
    struct stat existing{};
    bool written = write_all(descriptor, bytes);
    if (written && stat(path.c_str(), &existing) == 0)
        written = fchmod(descriptor, existing.st_mode & 07777) == 0;
    written = written && fsync(descriptor) == 0;
    written = close(descriptor) == 0 && written;
    if (!written || rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    sync_folder(folder_of(path));
    return true;
}

} // namespace os
