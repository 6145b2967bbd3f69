#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "os/path.h"
#include "skinner/controls/control_grid.h"

// One row of the file list.
struct FileEntry {
    enum Kind { none = 0, up = 1, folder = 2, audio_file = 4 };

    std::u16string path; // without a trailing separator; the parent folder for the up entry
    std::u16string display_name; // "..." for the up entry
    Kind kind = none;
};

// The file list ("lstFiles"): the folders and audio files of the current folder, with
// an up entry first unless it is the top level. Activating a row sends the list's
// listener "Select" (an audio file), "PickFolder" or "PickUp".
class ControlFiles : public skinner::ControlGrid, public skinner::GridSelectionStrategySingleRow, os::Finder {
public:
    ControlFiles(skinner::Container& container, std::u16string_view name);

    // A path that does not exist becomes the top level "/".
    void set_folder(std::u16string_view path);
    // Lists the current folder again, keeping the current entry when it is still there.
    void refill();
    // Makes the entry of that path current (the first row when there is none).
    void select_path(std::u16string_view path);
    std::u16string current_path() const;
    const FileEntry& entry(int index) const;
    const FileEntry& current_entry() const { return entry(current_row()); }
    const std::u16string& current_folder() const { return folder_; }
    bool is_top_level() const;
    const std::vector<FileEntry>& entries() const { return entries_; }

    // Audio files are told by the extension: mp3, wav, ogg or mpc in any letter case.
    static bool is_audio_file(std::u16string_view name);

    int row_count() const override { return static_cast<int>(entries_.size()); }
    int column_count() const override { return 3; }
    int column_width(int column) const override;
    void draw_cell(int column, int row, skinner::CanvasImpl& canvas, skinner::Point position, skinner::Point size,
        bool selected, bool highlighted) override;
    int on_cell_click(skinner::Control* sender, const skinner::CellEvent& event) override;
    bool on_key_down(int key, int flag) override;
    void reload_properties() override;

private:
    bool on_file(const std::u16string& path) override;
    bool on_folder(const std::u16string& path) override;
    void read_properties();
    void activate(int row);
    void add(std::u16string path, FileEntry::Kind kind);

    std::vector<FileEntry> entries_;
    // The canonical form of each entry's display name, which the sort compares.
    std::vector<std::u16string> sort_keys_;
    std::u16string folder_;
    FileEntry empty_;
    int icon_width_ = 1;
    int indent_width_ = 0;
    skinner::Picture icon_up_;
    skinner::Picture icon_folder_;
    skinner::Picture icon_audio_file_;
};
