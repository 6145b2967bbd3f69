#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

// Paths inside the program are written with "/" (or "\") and may start with a path
// macro such as "%app_path%"; they are expanded just before they reach the file
// system. The string operations here never touch the file system.
namespace os {

std::u16string expand_macros(std::u16string_view text);
// Re-reads the environment variables behind the special-folder macros (tests).
void refresh_special_folders();
// Where a user keeps music: the desktop's music folder (XDG_MUSIC_DIR), else ~/Music,
// else the home folder when neither exists.
std::u16string music_folder();

std::u16string strip_trailing_separator(std::u16string_view path);
std::u16string directory_part(std::u16string_view path);
std::u16string parent_directory(std::u16string_view path);
std::u16string file_name(std::u16string_view path);
std::u16string extension(std::u16string_view path);
std::u16string without_extension(std::u16string_view path);
std::u16string base_name(std::u16string_view path);
std::u16string join_path(std::u16string_view folder, std::u16string_view name);
std::u16string to_lower(std::u16string_view text);
std::u16string normalize_path(std::u16string_view path);
bool paths_equal(std::u16string_view a, std::u16string_view b);

// The expanded path as the 8-bit name the file system takes.
std::string native_path(std::u16string_view path);

// The path from the root: a relative one (after macros) is taken from the working folder.
std::u16string absolute_path(std::u16string_view path);
// Do both paths name one file (the same device and inode), whatever links, "..",
// or hard links lead there? False when either does not exist.
bool same_file(std::u16string_view a, std::u16string_view b);

void make_directories(std::u16string_view path);
bool delete_file(std::u16string_view path);
double free_space(std::u16string_view path);

constexpr int32_t attribute_read_only = 0x01;
constexpr int32_t attribute_hidden = 0x02;
constexpr int32_t attribute_folder = 0x10;
constexpr int32_t attribute_normal = 0x80;

// A file time with its local calendar form; all zero when the entry was not found.
struct FileTime {
    int64_t seconds = 0; // since 1970-01-01 UTC
    int year = 0, month = 0, day_of_week = 0, day = 0;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// What the file system says about one path (the first match when the last part of
// the path holds the wild cards "*" or "?").
class FileInfo {
public:
    explicit FileInfo(std::u16string_view path);

    bool exists() const { return attributes != -1; }
    bool is_folder() const { return exists() && (attributes & attribute_folder); }

    std::u16string path;
    int32_t attributes = -1;
    int last_error = 0;
    int32_t size = 0;
    FileTime created;
    FileTime modified;
};

// Callbacks of a folder scan; answering false stops the scan of the current folder.
class Finder {
public:
    virtual bool on_file(const std::u16string& path);
    virtual bool on_folder(const std::u16string& path);
    virtual ~Finder() = default;
};

// Lists the files matching file_mask, then the sub-folders matching folder_mask
// ("*" and "?" wild cards, letter case ignored), in the order the file system gives.
void scan(Finder& finder, std::u16string_view folder, std::u16string_view file_mask,
          std::u16string_view folder_mask, bool recursive);

// Does text match the wild-card pattern ("*" any run, "?" one character), ignoring case?
bool matches_mask(std::u16string_view text, std::u16string_view mask);

// Hands a document to the desktop's opener (xdg-open), or starts a program with its
// parameters; does not wait. True when it was started.
bool execute_file(std::u16string_view file, std::u16string_view parameters);
void open_web_page(std::u16string_view address);

} // namespace os
