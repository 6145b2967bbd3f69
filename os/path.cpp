#include "os/path.h"

#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <mutex>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "liba/log.h"
#include "liba/text.h"

namespace os {
namespace {

bool is_separator(char16_t c) { return c == u'/' || c == u'\\'; }

size_t last_separator(std::u16string_view path)
{
    for (size_t i = path.size(); i-- > 0;)
        if (is_separator(path[i]))
            return i;
    return std::u16string_view::npos;
}

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string home_folder() { return environment("HOME"); }

std::string xdg_folder(const char* variable, const char* fallback_under_home)
{
    std::string value = environment(variable);
    if (!value.empty())
        return value;
    const std::string home = home_folder();
    return home.empty() ? "" : home + "/" + fallback_under_home;
}

// A folder of the desktop's user-dirs.dirs (XDG_DOCUMENTS_DIR, XDG_MUSIC_DIR), from
// the environment or that file, else the folder of that name in the home folder.
std::string user_folder(const std::string& variable, const char* fallback_under_home)
{
    std::string value = environment(variable.c_str());
    if (!value.empty())
        return value;
    const std::string home = home_folder();
    std::ifstream dirs(xdg_folder("XDG_CONFIG_HOME", ".config") + "/user-dirs.dirs");
    for (std::string line; std::getline(dirs, line);) {
        const std::string key = variable + "=\"";
        if (line.rfind(key, 0) != 0 || line.back() != '"')
            continue;
        value = line.substr(key.size(), line.size() - key.size() - 1);
        if (value.rfind("$HOME", 0) == 0)
            value = home + value.substr(5);
        return value;
    }
    return home.empty() ? "" : home + "/" + fallback_under_home;
}

std::string documents_folder()
{
    return user_folder("XDG_DOCUMENTS_DIR", "Documents");
}

struct SpecialFolder {
    std::u16string_view macro;
    const char* override_variable;
    std::string (*standard)();
};

const std::array<SpecialFolder, 8> special_folder_table{{
    {u"%my_documents%", "MELODRIFT_DOCUMENTS", documents_folder},
    {u"%windows%", "MELODRIFT_WINDOWS", [] { return xdg_folder("XDG_DATA_HOME", ".local/share") + "/melodrift"; }},
    {u"%startup%", "MELODRIFT_STARTUP", [] { return xdg_folder("XDG_CONFIG_HOME", ".config") + "/autostart"; }},
    {u"%programs%", "MELODRIFT_PROGRAMS", [] { return xdg_folder("XDG_DATA_HOME", ".local/share") + "/applications"; }},
    {u"%start_menu%", "MELODRIFT_START_MENU", [] { return xdg_folder("XDG_DATA_HOME", ".local/share") + "/applications"; }},
    {u"%program_files%", "MELODRIFT_PROGRAM_FILES", [] { return std::string("/opt"); }},
    {u"%config%", "MELODRIFT_CONFIG", [] { return xdg_folder("XDG_CONFIG_HOME", ".config") + "/melodrift"; }},
    {u"%state%", "MELODRIFT_STATE", [] { return xdg_folder("XDG_STATE_HOME", ".local/state") + "/melodrift"; }},
}};

std::mutex special_folders_mutex;
std::array<std::u16string, special_folder_table.size()> special_folder_values;
bool special_folders_read = false;

void read_special_folders()
{
    for (size_t i = 0; i < special_folder_table.size(); ++i) {
        std::string value = environment(special_folder_table[i].override_variable);
        if (value.empty())
            value = special_folder_table[i].standard();
        special_folder_values[i] = liba::to_wide(value);
    }
    special_folders_read = true;
}

std::u16string special_folder(size_t index)
{
    std::lock_guard lock(special_folders_mutex);
    if (!special_folders_read)
        read_special_folders();
    return special_folder_values[index];
}

std::u16string program_file()
{
    std::vector<char> buffer(1024);
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0)
            return {};
        if (static_cast<size_t>(length) < buffer.size())
            return liba::to_wide(std::string_view(buffer.data(), static_cast<size_t>(length)));
        buffer.resize(buffer.size() * 2);
    }
}

std::u16string macro_value(size_t index)
{
    switch (index) {
    case 0:
        return program_file();
    case 1:
        return strip_trailing_separator(directory_part(program_file()));
    case 2:
        return file_name(program_file());
    default:
        return special_folder(index - 3);
    }
}

constexpr std::array<std::u16string_view, 11> macro_names{u"%app_full_name%", u"%app_path%", u"%app_name%",
    u"%my_documents%", u"%windows%", u"%startup%", u"%programs%", u"%start_menu%", u"%program_files%", u"%config%",
    u"%state%"};

FileTime to_file_time(const timespec& time)
{
    FileTime result;
    result.seconds = time.tv_sec;
    tm local{};
    const time_t seconds = time.tv_sec;
    if (!localtime_r(&seconds, &local))
        return result;
    result.year = local.tm_year + 1900;
    result.month = local.tm_mon + 1;
    result.day_of_week = local.tm_wday;
    result.day = local.tm_mday;
    result.hour = local.tm_hour;
    result.minute = local.tm_min;
    result.second = local.tm_sec;
    result.millisecond = static_cast<int>(time.tv_nsec / 1000000);
    return result;
}

int32_t attributes_of(const std::string& name, const struct stat& status)
{
    int32_t attributes = S_ISDIR(status.st_mode) ? attribute_folder : attribute_normal;
    if (access(name.c_str(), W_OK) != 0 && errno == EACCES)
        attributes |= attribute_read_only;
    return attributes;
}

bool has_wild_cards(std::u16string_view text) { return text.find_first_of(u"*?") != std::u16string_view::npos; }

// Entries of one folder that match a mask, with their status; "." and ".." included,
// as a find-first listing gives them.
class FolderListing {
public:
    FolderListing(const std::string& folder, std::u16string_view mask) : folder_(folder), mask_(mask)
    {
        directory_ = opendir(folder_.empty() ? "." : folder_.c_str());
    }
    ~FolderListing()
    {
        if (directory_)
            closedir(directory_);
    }
    FolderListing(const FolderListing&) = delete;
    FolderListing& operator=(const FolderListing&) = delete;

    // The next matching entry's name and whether it is a folder; false at the end.
    bool next(std::u16string& name, struct stat& status)
    {
        while (directory_) {
            const dirent* entry = readdir(directory_);
            if (!entry)
                return false;
            name = liba::to_wide(entry->d_name);
            if (!matches_mask(name, mask_))
                continue;
            const std::string full = folder_.empty() ? entry->d_name : folder_ + "/" + entry->d_name;
            if (stat(full.c_str(), &status) != 0 && lstat(full.c_str(), &status) != 0)
                continue;
            return true;
        }
        return false;
    }

private:
    std::string folder_;
    std::u16string mask_;
    DIR* directory_ = nullptr;
};

// Runs a program in a grandchild so that nothing has to wait for it; reports whether
// the exec itself succeeded through a close-on-exec pipe.
bool spawn_detached(const std::vector<std::string>& arguments)
{
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0)
        return false;
    const pid_t child = fork();
    if (child < 0) {
        close(report[0]);
        close(report[1]);
        return false;
    }
    if (child == 0) {
        if (fork() == 0) {
            setsid();
            std::vector<char*> argv;
            for (const auto& argument : arguments)
                argv.push_back(const_cast<char*>(argument.c_str()));
            argv.push_back(nullptr);
            execvp(argv[0], argv.data());
            const int error = errno;
            [[maybe_unused]] const auto written = write(report[1], &error, sizeof error);
        }
        _exit(0);
    }
    close(report[1]);
    waitpid(child, nullptr, 0);
    int error = 0;
    const ssize_t got = read(report[0], &error, sizeof error);
    close(report[0]);
    return got == 0;
}

} // namespace

std::u16string music_folder()
{
    const std::string music = user_folder("XDG_MUSIC_DIR", "Music");
    struct stat info {};
    if (!music.empty() && stat(music.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        return liba::to_wide(music);
    return liba::to_wide(home_folder());
}

std::u16string expand_macros(std::u16string_view text)
{
    std::u16string result;
    size_t consumed = 0;
    for (size_t i = 0; i < macro_names.size(); ++i) {
        if (text.substr(0, macro_names[i].size()) == macro_names[i]) {
            result = macro_value(i);
            consumed = macro_names[i].size();
            break;
        }
    }
    for (size_t i = consumed; i < text.size(); ++i)
        result += is_separator(text[i]) ? u'/' : text[i];
    return result;
}

void refresh_special_folders()
{
    std::lock_guard lock(special_folders_mutex);
    read_special_folders();
}

std::u16string strip_trailing_separator(std::u16string_view path)
{
    if (!path.empty() && is_separator(path.back()))
        path.remove_suffix(1);
    return std::u16string(path);
}

std::u16string directory_part(std::u16string_view path)
{
    const size_t separator = last_separator(path);
    return separator == std::u16string_view::npos ? std::u16string() : std::u16string(path.substr(0, separator + 1));
}

std::u16string parent_directory(std::u16string_view path) { return directory_part(strip_trailing_separator(path)); }

std::u16string file_name(std::u16string_view path)
{
    const size_t separator = last_separator(path);
    return std::u16string(separator == std::u16string_view::npos ? path : path.substr(separator + 1));
}

namespace {

size_t extension_dot(std::u16string_view path)
{
    const size_t dot = path.rfind(u'.');
    const size_t separator = last_separator(path);
    if (dot == std::u16string_view::npos || (separator != std::u16string_view::npos && separator > dot))
        return std::u16string_view::npos;
    return dot;
}

} // namespace

std::u16string extension(std::u16string_view path)
{
    const size_t dot = extension_dot(path);
    return dot == std::u16string_view::npos ? std::u16string() : std::u16string(path.substr(dot + 1));
}

std::u16string without_extension(std::u16string_view path)
{
    const size_t dot = extension_dot(path);
    return std::u16string(dot == std::u16string_view::npos ? path : path.substr(0, dot));
}

std::u16string base_name(std::u16string_view path) { return without_extension(file_name(path)); }

std::u16string join_path(std::u16string_view folder, std::u16string_view name)
{
    if (folder.empty())
        return std::u16string(name);
    return strip_trailing_separator(folder) + u"/" + std::u16string(name);
}

std::u16string to_lower(std::u16string_view text) { return liba::to_lower(text); }

std::u16string normalize_path(std::u16string_view path) { return to_lower(strip_trailing_separator(expand_macros(path))); }

bool paths_equal(std::u16string_view a, std::u16string_view b) { return normalize_path(a) == normalize_path(b); }

std::string native_path(std::u16string_view path) { return liba::to_narrow(expand_macros(path)); }

std::u16string absolute_path(std::u16string_view path)
{
    const std::u16string expanded = expand_macros(path);
    if (!expanded.empty() && expanded[0] == u'/')
        return expanded;
    std::vector<char> folder(PATH_MAX);
    if (!getcwd(folder.data(), folder.size()))
        return expanded;
    std::u16string_view relative = expanded;
    while (relative.substr(0, 2) == u"./")
        relative.remove_prefix(2);
    return join_path(liba::to_wide(folder.data()), relative == u"." ? std::u16string_view() : relative);
}

bool same_file(std::u16string_view a, std::u16string_view b)
{
    struct stat first{}, second{};
    return stat(native_path(a).c_str(), &first) == 0 && stat(native_path(b).c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

void make_directories(std::u16string_view path)
{
    const std::u16string expanded = expand_macros(path);
    if (expanded.empty())
        return;
    make_directories(parent_directory(expanded));
    const std::string folder = liba::to_narrow(strip_trailing_separator(expanded));
    if (!folder.empty())
        mkdir(folder.c_str(), 0777);
}

bool delete_file(std::u16string_view path) { return unlink(native_path(path).c_str()) == 0; }

double free_space(std::u16string_view path)
{
    struct statvfs volume;
    if (statvfs(native_path(path).c_str(), &volume) != 0)
        return 0;
    return static_cast<double>(volume.f_bavail) * static_cast<double>(volume.f_frsize);
}

FileInfo::FileInfo(std::u16string_view path_argument) : path(path_argument)
{
    std::u16string expanded = expand_macros(strip_trailing_separator(path_argument));
    if (expanded.empty() && !path_argument.empty())
        expanded = u"/"; // the root folder, written "/"
    struct stat status{};
    std::string name;
    errno = 0;
    if (has_wild_cards(file_name(expanded))) {
        FolderListing listing(liba::to_narrow(strip_trailing_separator(directory_part(expanded))), file_name(expanded));
        std::u16string entry;
        if (listing.next(entry, status))
            name = liba::to_narrow(join_path(directory_part(expanded), entry));
        else if (errno == 0)
            errno = ENOENT;
    } else if (stat(liba::to_narrow(expanded).c_str(), &status) == 0) {
        name = liba::to_narrow(expanded);
    }
    if (!name.empty()) {
        attributes = attributes_of(name, status);
        size = static_cast<int32_t>(std::min<off_t>(status.st_size, INT32_MAX));
        created = to_file_time(status.st_ctim);
        modified = to_file_time(status.st_mtim);
        errno = 0;
    }
    last_error = errno;
}

bool Finder::on_file(const std::u16string&) { return true; }
bool Finder::on_folder(const std::u16string&) { return true; }

bool matches_mask(std::u16string_view text, std::u16string_view mask)
{
    // Iterative matcher with one back-tracking point per "*": linear in practice.
    size_t t = 0, m = 0, star = std::u16string_view::npos, resume = 0;
    while (t < text.size()) {
        if (m < mask.size() && mask[m] == u'*') {
            star = m++;
            resume = t;
        } else if (m < mask.size() && (mask[m] == u'?' || liba::to_lower(mask[m]) == liba::to_lower(text[t]))) {
            ++m;
            ++t;
        } else if (star != std::u16string_view::npos) {
            m = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == u'*')
        ++m;
    return m == mask.size();
}

namespace {

// One pass of a scan; false when the finder asked to stop.
bool scan_pass(Finder& finder, std::u16string_view folder, std::u16string_view mask, bool folders,
               std::u16string_view file_mask, bool recursive)
{
    const std::u16string pattern = folder.empty() ? std::u16string(mask) : join_path(folder, mask);
    const std::u16string expanded = expand_macros(pattern);
    FolderListing listing(liba::to_narrow(strip_trailing_separator(directory_part(expanded))), file_name(expanded));
    std::u16string name;
    struct stat status{};
    while (listing.next(name, status)) {
        const bool is_folder = S_ISDIR(status.st_mode);
        if (is_folder != folders || name == u"." || name == u"..")
            continue;
        const std::u16string path = join_path(folder, name);
        if (!folders) {
            if (!finder.on_file(path))
                return false;
            continue;
        }
        if (!finder.on_folder(path))
            return false;
        if (recursive)
            scan(finder, path, file_mask, mask, true);
    }
    return true;
}

} // namespace

void scan(Finder& finder, std::u16string_view folder, std::u16string_view file_mask,
          std::u16string_view folder_mask, bool recursive)
{
    if (scan_pass(finder, folder, file_mask, false, file_mask, recursive))
        scan_pass(finder, folder, folder_mask, true, file_mask, recursive);
}

bool execute_file(std::u16string_view file, std::u16string_view parameters)
{
    const std::u16string expanded_file = expand_macros(file);
    const std::u16string expanded_parameters = expand_macros(parameters);
    liba::log() << u"execute_file(" << expanded_file << u", " << expanded_parameters << u")\n";
    const std::string native = liba::to_narrow(expanded_file);
    struct stat status{};
    if (stat(native.c_str(), &status) != 0)
        return false; // nothing there to open
    const bool is_program = S_ISREG(status.st_mode) && access(native.c_str(), X_OK) == 0;
    if (!is_program)
        return spawn_detached({"xdg-open", native});
    std::vector<std::string> arguments{native};
    if (!expanded_parameters.empty())
        arguments.push_back(liba::to_narrow(expanded_parameters));
    return spawn_detached(arguments);
}

void open_web_page(std::u16string_view address) { spawn_detached({"xdg-open", liba::to_narrow(address)}); }

} // namespace os
