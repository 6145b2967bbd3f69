#include "app/control_files.h"

#include <algorithm>
#include <numeric>

#include "skinner/core/key_codes.h"
#include "skinner/draw/canvas.h"

namespace {

bool is_separator(char16_t c) { return c == u'/' || c == u'\\'; }

} // namespace

ControlFiles::ControlFiles(skinner::Container& container, std::u16string_view name)
    : ControlGrid(container, name)
{
    read_properties();
    refresh();
}

void ControlFiles::read_properties()
{
    icon_width_ = size_integer(u"IconWidth", 1);
    indent_width_ = size_integer(u"IndentWidth", 0);
    icon_up_ = picture(u"IconUp", skinner::Picture());
    icon_folder_ = picture(u"IconFolder", skinner::Picture());
    icon_audio_file_ = picture(u"IconAudioFile", skinner::Picture());
}

void ControlFiles::reload_properties()
{
    ControlGrid::reload_properties();
    read_properties();
    refresh();
}

bool ControlFiles::is_audio_file(std::u16string_view name)
{
    const size_t separator = name.find_last_of(u"/\\");
    const size_t dot = name.find_last_of(u'.');
    if (dot == std::u16string_view::npos || (separator != std::u16string_view::npos && dot < separator))
        return false;
    const std::u16string extension = os::to_lower(name.substr(dot + 1));
    return extension == u"mp3" || extension == u"wav" || extension == u"ogg" || extension == u"mpc";
}

bool ControlFiles::is_top_level() const { return folder_.empty() || (folder_.size() == 1 && is_separator(folder_[0])); }

void ControlFiles::set_folder(std::u16string_view path)
{
    folder_ = os::FileInfo(path).exists() ? std::u16string(path) : std::u16string(u"/");
    refill();
}

void ControlFiles::add(std::u16string path, FileEntry::Kind kind)
{
    std::u16string name = kind == FileEntry::up ? std::u16string(u"...") : os::file_name(path);
    sort_keys_.push_back(os::normalize_path(name));
    entries_.push_back({std::move(path), std::move(name), kind});
}

bool ControlFiles::on_file(const std::u16string& path)
{
    if (is_audio_file(path))
        add(os::strip_trailing_separator(path), FileEntry::audio_file);
    return true;
}

bool ControlFiles::on_folder(const std::u16string& path)
{
    add(os::strip_trailing_separator(path), FileEntry::folder);
    return true;
}

void ControlFiles::refill()
{
    const std::u16string remembered = current_path();
    entries_.clear();
    sort_keys_.clear();
    if (!is_top_level())
        add(os::strip_trailing_separator(os::parent_directory(folder_)), FileEntry::up);
    os::scan(*this, folder_, u"*", u"*", false);

    // Sorted by kind, then by the canonical name; each key is made once.
    std::vector<size_t> order(entries_.size());
    std::iota(order.begin(), order.end(), size_t {0});
    std::sort(order.begin(), order.end(), [this](size_t a, size_t b) {
        if (entries_[a].kind != entries_[b].kind)
            return entries_[a].kind < entries_[b].kind;
        return sort_keys_[a] < sort_keys_[b];
    });
    std::vector<FileEntry> sorted;
    sorted.reserve(entries_.size());
    for (size_t index : order)
        sorted.push_back(std::move(entries_[index]));
    entries_ = std::move(sorted);
    sort_keys_.clear();
    set_current_row(-1);
    select_path(remembered);
}

void ControlFiles::select_path(std::u16string_view path)
{
    int row = 0;
    for (int index = row_count() - 1; index >= 1; --index)
        if (entries_[index].path == path) {
            row = index;
            break;
        }
    refresh();
    set_current_row(entries_.empty() ? -1 : row);
}

std::u16string ControlFiles::current_path() const { return current_entry().path; }

const FileEntry& ControlFiles::entry(int index) const
{
    return index >= 0 && index < row_count() ? entries_[index] : empty_;
}

int ControlFiles::column_width(int column) const
{
    if (column == 0)
        return icon_width_;
    if (column == 1)
        return indent_width_;
    return -1;
}

void ControlFiles::draw_cell(int column, int row, skinner::CanvasImpl& canvas, skinner::Point position,
    skinner::Point size, bool selected, bool highlighted)
{
    const skinner::Look& style = cell_style(selected, highlighted);
    canvas.draw_picture(style.picture, position, position + size);
    const FileEntry& shown = entry(row);
    if (column == 0) {
        const skinner::Picture& icon = shown.kind == FileEntry::up ? icon_up_
            : shown.kind == FileEntry::folder                      ? icon_folder_
                                                                   : icon_audio_file_;
        const skinner::Point icon_size = icon.size();
        const skinner::Point at {position.x + (size.x - icon_size.x) / 2, position.y + (size.y - icon_size.y) / 2};
        canvas.draw_picture(icon, at, at + icon_size);
    } else if (column == 2) {
        canvas.draw_text(style.font, style.colour, shown.display_name, position, size, skinner::LEFT, skinner::VCENTER);
    }
}

void ControlFiles::activate(int row)
{
    switch (entry(row).kind) {
    case FileEntry::audio_file:
        on_command(this, u"Select");
        break;
    case FileEntry::folder:
        on_command(this, u"PickFolder");
        break;
    case FileEntry::up:
        on_command(this, u"PickUp");
        break;
    case FileEntry::none:
        break;
    }
}

int ControlFiles::on_cell_click(skinner::Control*, const skinner::CellEvent& event)
{
    activate(event.row);
    return 1;
}

bool ControlFiles::on_key_down(int key, int flag)
{
    if (ControlGrid::on_key_down(key, flag))
        return true;
    if (key == skinner::key::enter) {
        activate(current_row());
        return true;
    }
    if (key == skinner::key::escape && !is_top_level()) {
        on_command(this, u"PickUp");
        return true;
    }
    return false;
}
