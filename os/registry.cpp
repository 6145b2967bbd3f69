#include "os/registry.h"

#include <array>
#include <cstdlib>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <vector>

#include "liba/log.h"
#include "liba/text.h"
#include "os/atomic_file.h"

namespace os {
namespace {

constexpr std::array<std::u16string_view, 4> root_names{
    u"HKEY_CLASSES_ROOT", u"HKEY_LOCAL_MACHINE", u"HKEY_USERS", u"HKEY_CURRENT_USER"};

// A key path as the store compares it: the root name, "\" and the lower-cased subkey
// path. Empty when the path starts with no root name. The character after the root
// name is the separator and is not looked at.
std::u16string key_of(std::u16string_view path)
{
    for (const std::u16string_view root : root_names) {
        if (!path.starts_with(root))
            continue;
        const std::u16string_view subkey = path.size() > root.size() ? path.substr(root.size() + 1) : std::u16string_view();
        return std::u16string(root) + u"\\" + liba::to_lower(subkey);
    }
    return {};
}

std::string_view trim(std::string_view text)
{
    const auto is_blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && is_blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Reads a quoted text at the start of text; on success text is left after the
// closing quote.
std::optional<std::string> take_quoted(std::string_view& text)
{
    if (!text.starts_with('"'))
        return std::nullopt;
    std::string result;
    for (size_t i = 1; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"') {
            text.remove_prefix(i + 1);
            return result;
        }
        if (c == '\\' && i + 1 < text.size()) {
            c = text[++i];
            c = c == 'n' ? '\n' : c == 'r' ? '\r' : c;
        }
        result += c;
    }
    return std::nullopt;
}

std::string quoted(std::string_view text)
{
    std::string result = "\"";
    for (const char c : text) {
        switch (c) {
        case '\\': result += "\\\\"; break;
        case '"': result += "\\\""; break;
        case '\n': result += "\\n"; break;
        case '\r': result += "\\r"; break;
        default: result += c;
        }
    }
    return result + "\"";
}

std::optional<uint32_t> parse_number(std::string_view text)
{
    int base = 10;
    if (text.size() > 6 && liba::to_lower(liba::to_wide(text.substr(0, 6))) == u"dword:") {
        text.remove_prefix(6);
        base = 16;
    }
    if (text.empty() || text.size() > (base == 16 ? 8u : 10u))
        return std::nullopt;
    uint64_t value = 0;
    for (const char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0)
            return std::nullopt;
        value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
    }
    if (value > UINT32_MAX)
        return std::nullopt;
    return static_cast<uint32_t>(value);
}

std::string value_name_text(std::u16string_view name)
{
    if (name.empty())
        return "@";
    const std::string narrow = liba::to_narrow(name);
    const bool plain = narrow != "@" && trim(narrow) == narrow &&
                       narrow.find_first_of("=\"\\;#[\n\r") == std::string::npos;
    return plain ? narrow : quoted(narrow);
}

struct Value {
    std::u16string key;
    std::u16string name; // lower case
    std::optional<uint32_t> number;
    std::u16string text;
    size_t line;
};

// The registry file: its lines as they stand, so that writing one value keeps the
// rest of a hand-edited file (comments, order, spelling) as it was, and the values
// they define.
class RegistryText {
public:
    explicit RegistryText(std::vector<std::string> lines = {}) : lines_(std::move(lines)) { parse(); }

    const Value* find(const std::u16string& key, std::u16string_view name) const
    {
        const std::u16string lower = liba::to_lower(name);
        for (auto it = values_.rbegin(); it != values_.rend(); ++it) {
            if (it->key == key && it->name == lower)
                return &*it;
        }
        return nullptr;
    }

    void set_string(const std::u16string& key, std::u16string_view key_path, std::u16string_view name,
                    std::u16string_view text)
    {
        const std::string line = value_name_text(name) + "=" + quoted(liba::to_narrow(text));
        if (const Value* existing = find(key, name)) {
            lines_[existing->line] = line;
        } else if (const auto end = section_ends_.find(key); end != section_ends_.end()) {
            lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(end->second + 1), line);
        } else {
            if (!lines_.empty() && !trim(lines_.back()).empty())
                lines_.emplace_back();
            lines_.push_back("[" + liba::to_narrow(key_path) + "]");
            lines_.push_back(line);
        }
        parse();
    }

    std::string contents() const
    {
        std::string result;
        for (const std::string& line : lines_)
            result += line + "\n";
        return result;
    }

private:
    void parse()
    {
        values_.clear();
        section_ends_.clear();
        std::u16string key;
        for (size_t i = 0; i < lines_.size(); ++i) {
            std::string_view line = trim(lines_[i]);
            if (line.empty() || line.starts_with(';') || line.starts_with('#'))
                continue;
            if (line.starts_with('[')) {
                const size_t close = line.rfind(']');
                key = close == std::string_view::npos ? std::u16string() : key_of(liba::to_wide(line.substr(1, close - 1)));
                if (!key.empty())
                    section_ends_[key] = i;
                continue;
            }
            if (key.empty())
                continue;
            section_ends_[key] = i;
            parse_value(key, line, i);
        }
    }

    void parse_value(const std::u16string& key, std::string_view line, size_t index)
    {
        std::string name;
        if (const auto quoted_name = take_quoted(line)) {
            name = *quoted_name;
            line = trim(line);
            if (!line.starts_with('='))
                return;
            line.remove_prefix(1);
        } else {
            const size_t equals = line.find('=');
            if (equals == std::string_view::npos)
                return;
            name = trim(line.substr(0, equals));
            if (name == "@")
                name.clear();
            line.remove_prefix(equals + 1);
        }
        Value value{key, liba::to_lower(liba::to_wide(name)), std::nullopt, {}, index};
        line = trim(line);
        std::string_view rest = line;
        if (const auto text = take_quoted(rest)) {
            value.text = liba::to_wide(*text);
        } else {
            value.number = parse_number(line);
            if (!value.number)
                value.text = liba::to_wide(line);
        }
        values_.push_back(std::move(value));
    }

    std::vector<std::string> lines_;
    std::vector<Value> values_;
    std::map<std::u16string, size_t> section_ends_; // last line of each key's last section
};

struct FileStamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};

    static FileStamp of(const std::string& path)
    {
        struct stat status{};
        if (stat(path.c_str(), &status) != 0)
            return {};
        return {true, status.st_dev, status.st_ino, status.st_size, status.st_mtim};
    }
    bool operator==(const FileStamp& other) const
    {
        return exists == other.exists && device == other.device && inode == other.inode && size == other.size &&
               modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
    }
};

std::vector<std::string> read_lines(const std::string& path)
{
    std::vector<std::string> lines;
    std::ifstream file(path, std::ios::binary);
    for (std::string line; std::getline(file, line);)
        lines.push_back(std::move(line));
    return lines;
}

void make_folders(const std::string& path)
{
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
        mkdir(path.substr(0, slash).c_str(), 0777);
}

// The process's view of the registry file, read again when the file is replaced or
// changed, so that a switch turned on in an editor is seen while the program runs.
class Registry {
public:
    static Registry& instance()
    {
        static Registry registry;
        return registry;
    }

    template <class Use>
    auto read(Use use)
    {
        std::lock_guard lock(mutex_);
        refresh();
        return use(static_cast<const RegistryText&>(text_));
    }

    bool write_string(const std::u16string& key, std::u16string_view key_path, std::u16string_view name,
                      std::u16string_view value)
    {
        std::lock_guard lock(mutex_);
        refresh();
        RegistryText changed = text_;
        changed.set_string(key, key_path, name, value);
        make_folders(path_);
        if (!replace_file(path_, changed.contents()))
            return false;
        text_ = std::move(changed);
        stamp_ = FileStamp::of(path_);
        return true;
    }

private:
    void refresh()
    {
        std::string path = registry_file_path();
        const FileStamp stamp = FileStamp::of(path);
        if (path == path_ && stamp == stamp_)
            return;
        text_ = RegistryText(stamp.exists ? read_lines(path) : std::vector<std::string>());
        path_ = std::move(path);
        stamp_ = stamp;
    }

    std::mutex mutex_;
    std::string path_;
    FileStamp stamp_;
    RegistryText text_;
};

} // namespace

std::string registry_file_path()
{
    if (const char* path = std::getenv("MELODRIFT_REGISTRY"); path && *path)
        return path;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/')
        return std::string(config) + "/melodrift/registry.ini";
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.config/melodrift/registry.ini";
}

bool write_registry_string(std::u16string_view key_path, std::u16string_view value_name, std::u16string_view text)
{
    liba::log() << u"xxxxx 0\n";
    const std::u16string key = key_of(key_path);
    if (key.empty())
        return false;
    liba::log() << u"xxxxx 1\n";
    const bool stored = Registry::instance().write_string(key, key_path, value_name, text);
    liba::log() << (stored ? u"xxxxx 3\n" : u"xxxxx 2\n");
    return stored;
}

bool read_registry_number(std::u16string_view key_path, std::u16string_view value_name, uint32_t& number)
{
    const std::u16string key = key_of(key_path);
    if (key.empty())
        return false;
    Registry::instance().read([&](const RegistryText& text) {
        const Value* value = text.find(key, value_name);
        if (value && value->number)
            number = *value->number;
    });
    return true;
}

bool read_registry_string(std::u16string_view key_path, std::u16string_view value_name, std::u16string& text)
{
    const std::u16string key = key_of(key_path);
    if (key.empty())
        return false;
    return Registry::instance().read([&](const RegistryText& registry) {
        const Value* value = registry.find(key, value_name);
        if (!value || value->number)
            return false;
        text = value->text;
        return true;
    });
}

} // namespace os
