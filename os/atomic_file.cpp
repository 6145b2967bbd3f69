#include "os/atomic_file.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace os {
namespace {

constexpr std::string_view temporary_prefix = ".";
constexpr std::string_view temporary_infix = ".melodrift-";
constexpr std::string_view temporary_suffix = ".part";
constexpr int random_letters = 6;

std::string folder_of(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string name_of(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a symbolic link names; any other path as it is.
std::string followed(const std::string& path)
{
    struct stat status { };
    if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
        return path;
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
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

// Creates a new, empty file beside target under the temporary name; -1 on failure.
int create_temporary(const std::string& target, std::string& temporary)
{
    constexpr char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const size_t decoration =
        temporary_prefix.size() + temporary_infix.size() + random_letters + temporary_suffix.size();
    // A name near the length limit is shortened, so that its temporary name still fits.
    const std::string name = name_of(target).substr(0, NAME_MAX - decoration);
    const std::string folder = target.find('/') == std::string::npos ? std::string() : folder_of(target) + "/";
    std::random_device random;
    std::uniform_int_distribution<size_t> pick(0, sizeof letters - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string tag;
        for (int i = 0; i < random_letters; ++i)
            tag += letters[pick(random)];
        temporary = folder + std::string(temporary_prefix) + name + std::string(temporary_infix) + tag +
            std::string(temporary_suffix);
        const int descriptor = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor != -1 || errno != EEXIST)
            return descriptor;
    }
    return -1;
}

} // namespace

TargetProblem target_problem(const std::string& path)
{
    struct stat status { };
    if (stat(path.c_str(), &status) == 0)
        return S_ISREG(status.st_mode) ? TargetProblem::none : TargetProblem::not_a_file;
    if (lstat(path.c_str(), &status) == 0)
        return TargetProblem::not_a_file;
    if (stat(folder_of(path).c_str(), &status) != 0 || !S_ISDIR(status.st_mode))
        return TargetProblem::folder_missing;
    return TargetProblem::none;
}

ReplacingFile::ReplacingFile(const std::string& path)
    : target_(followed(path))
{
    if (target_problem(path) != TargetProblem::none) {
        adopt(-1);
        return;
    }
    const int descriptor = create_temporary(target_, temporary_);
    if (descriptor == -1)
        temporary_.clear();
    adopt(descriptor);
}

ReplacingFile::~ReplacingFile() { discard(); }

bool ReplacingFile::commit()
{
    if (temporary_.empty() || !ok()) {
        discard();
        return false;
    }
    struct stat existing { };
    bool done = stat(target_.c_str(), &existing) != 0 || fchmod(descriptor(), existing.st_mode & 07777) == 0;
    done = done && fsync(descriptor()) == 0;
    done = close_descriptor() && done;
    if (!done || rename(temporary_.c_str(), target_.c_str()) != 0) {
        discard();
        return false;
    }
    temporary_.clear();
    sync_folder(folder_of(target_));
    return true;
}

void ReplacingFile::discard()
{
    close_descriptor();
    if (!temporary_.empty())
        unlink(temporary_.c_str());
    temporary_.clear();
}

bool replace_file(const std::string& path, std::string_view bytes)
{
    ReplacingFile file(path);
    const auto count = static_cast<int32_t>(bytes.size());
    return file.ok() && bytes.size() <= INT32_MAX && file.write(bytes.data(), count) == count && file.commit();
}

} // namespace os
