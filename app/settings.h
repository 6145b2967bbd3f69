#pragma once

#include <string>
#include <string_view>

// What the program remembers between runs: the language file and the folder and
// file of the file list, in an XML file:
//
//   <Settings>
//     <General Language="%app_path%/English.lng"/>
//     <Filelist CurrentFolder="/home/me/Music" SelectedPath="/home/me/Music/song.mp3"/>
//   </Settings>
struct Settings {
    std::u16string language = u"%app_path%/English.lng";
    std::u16string current_folder;
    std::u16string selected_path;
};

// Where the settings live: %config%/Settings.xml.
extern const std::u16string_view settings_file;

// The settings in the file; what is missing, unreadable or absurd (not XML, an
// attribute longer than any path) keeps its default.
Settings read_settings(std::u16string_view path = settings_file);
// Writes the file whole (a failed write leaves the previous one), making its folder
// when it is missing. False when it could not be written.
bool write_settings(const Settings& settings, std::u16string_view path = settings_file);
