#include "app/form_main.h"

#include <algorithm>

#include "app/dialogs/form_about.h"
#include "app/file_finder.h"
#include "app/make_ringtone.h"
#include "app/product.h"
#include "os/path.h"
#include "platform/screen.h"
#include "skinner/core/key_codes.h"
#include "skinner/menu/menu_item.h"
#include "skinner/skin/properties.h"

namespace {

constexpr std::u16string_view language_command = u"Language_";
constexpr double position_period = 0.01;
constexpr double autoplay_delay = 1.0;
// A fragment must be longer than this, in the reader's unit.
constexpr int minimum_fragment = 1000;

} // namespace

FormMain::FormMain(skinner::Properties& skin)
    : Form(nullptr, skin, u"FormMain")
    , language_path_(skin.language_path())
{
    show_panel(file_panel_);
    file_panel_.files.refresh();
    apply_language();
    position_timer_ = start_timer(position_period);
}

FormMain::~FormMain()
{
    stop();
    stop_timer(position_timer_);
}

void FormMain::show_panel(skinner::ControlPanel& panel)
{
    for (skinner::ControlPanel* each : std::initializer_list<skinner::ControlPanel*> {
             &file_panel_, &start_panel_, &finish_panel_, &save_panel_})
        each->set_visible(each == &panel);
}

void FormMain::load_settings()
{
    const Settings settings = read_settings();
    language_path_ = settings.language;
    apply_language();
    // With no folder stored, the list opens where a user keeps music.
    file_panel_.change_folder(settings.current_folder.empty() ? os::music_folder() : settings.current_folder);
    file_panel_.files.select_path(settings.selected_path);
}

void FormMain::save_settings()
{
    write_settings({language_path_, file_panel_.files.current_folder(), file_panel_.files.current_path()});
}

void FormMain::apply_language()
{
    if (properties().load_language(language_path_))
        return;
    language_path_ = english_language_path;
    properties().load_language(language_path_);
}

bool FormMain::play(std::u16string_view path, int from)
{
    kill_autoplay();
    if (!playback_.play(path, from)) {
        stop();
        return false;
    }
    save_panel_.play.set_checked(true);
    position_bar_.set_value(0);
    return true;
}

void FormMain::stop()
{
    kill_autoplay();
    playback_.stop();
    save_panel_.play.set_checked(false);
    position_bar_.set_value(0);
}

int FormMain::play_position() { return playback_.position(); }

bool FormMain::fragment_is_valid() const { return start_ >= 0 && finish_ - start_ > minimum_fragment; }

void FormMain::start_autoplay()
{
    kill_autoplay();
    autoplay_timer_ = start_timer(autoplay_delay);
}

void FormMain::kill_autoplay()
{
    if (autoplay_timer_ != 0)
        stop_timer(autoplay_timer_);
}

void FormMain::end_marking()
{
    show_panel(fragment_is_valid() ? static_cast<skinner::ControlPanel&>(save_panel_) : file_panel_);
    stop();
}

int FormMain::on_click(skinner::Control* sender, int flag)
{
    if (sender == &start_panel_.button) {
        start_ = play_position();
        show_panel(finish_panel_);
    } else if (sender == &finish_panel_.button) {
        finish_ = play_position();
        end_marking();
    } else if (sender == &save_panel_.play) {
        if (!save_panel_.play.checked())
            stop();
        else if (!play(file_panel_.files.current_path(), start_))
            stop();
    } else if (sender == &save_panel_.save) {
        make_ringtone_of_fragment(false);
        show_panel(save_panel_);
    } else if (sender == &save_panel_.reedit) {
        on_command(nullptr, u"Select");
    } else if (sender == &save_panel_.assign_button) {
        on_command(nullptr, u"Assign");
    } else if (sender == &save_panel_.exit) {
        on_command(nullptr, u"Exit");
    } else {
        return Form::on_click(sender, flag);
    }
    return 1;
}

std::u16string FormMain::make_ringtone_of_fragment(bool assign)
{
    stop();
    return make_ringtone(*this, properties(), file_panel_.files.current_path(), start_, finish_, assign);
}

void FormMain::assign_fragment()
{
    const std::u16string ringtone = make_ringtone_of_fragment(true);
    if (!ringtone.empty() && assign_ringtone(*this, properties(), ringtone)) {
        close();
        return;
    }
    show_panel(save_panel_);
}

void FormMain::select_current_file()
{
    const FileEntry& entry = file_panel_.files.current_entry();
    if (entry.kind != FileEntry::audio_file) {
        file_panel_.change_folder(entry.path.empty() ? std::u16string(u"/") : entry.path);
        return;
    }
    start_ = -1;
    const std::optional<int> length = file_length(entry.path);
    if (!length)
        return;
    finish_ = *length;
    show_panel(start_panel_);
    start_autoplay();
}

int FormMain::on_command(skinner::Control* sender, std::u16string_view command)
{
    if (command == u"Select") {
        select_current_file();
    } else if (command == u"Cancel") {
        stop();
        show_panel(file_panel_);
    } else if (command == u"Start") {
        start_panel_.button.click();
    } else if (command == u"Finish") {
        finish_panel_.button.click();
    } else if (command == u"Assign") {
        assign_fragment();
    } else if (command == u"PickUp") {
        if (!file_panel_.files.is_top_level())
            file_panel_.change_folder(file_panel_.files.entry(0).path);
    } else if (command == u"PickFolder") {
        file_panel_.change_folder(file_panel_.files.current_path());
    } else if (command == u"Help") {
        os::execute_file(u"%app_path%/" + properties().translate(u"Help_link"), u"");
    } else if (command == u"About") {
        dialogs::show_about(*this, language_path_);
    } else if (command == u"Exit") {
        close();
    } else if (command.substr(0, language_command.size()) == language_command) {
        language_path_ = command.substr(language_command.size());
        apply_language();
        save_settings();
    } else if (command == u"#ScreenResolution#") {
        // A skin with no layout for the new size gives way to the default one.
        const platform::Size screen = platform::screen_size();
        const bool fits = skinner::Properties(properties().skin_path(), screen).check_version(skin_version_key, screen);
        properties().load_skin(fits ? properties().skin_path() : std::u16string(default_skin_path), screen);
    } else {
        return Form::on_command(sender, command);
    }
    return 1;
}

int FormMain::on_value_changed(skinner::Control* sender, double value)
{
    if (sender != &position_bar_)
        return Form::on_value_changed(sender, value);
    if (playback_.is_playing()) {
        const int position = static_cast<int>(value * playback_.length());
        playback_.seek(std::max(position, start_));
    }
    return 1;
}

void FormMain::seek_by(int direction)
{
    if (!playback_.is_playing())
        return;
    const int length = playback_.length();
    const int target = play_position() + direction * (length / 20);
    playback_.seek(direction > 0 ? std::min(target, length) : std::max(target, start_));
}

bool FormMain::on_key_down(int key)
{
    if (Form::on_key_down(key))
        return true;
    switch (key) {
    case skinner::key::left:
        seek_by(-1);
        return true;
    case skinner::key::right:
        seek_by(1);
        return true;
    case skinner::key::escape:
        on_command(nullptr, u"Cancel");
        return true;
    default:
        return false;
    }
}

void FormMain::on_position_tick()
{
    if (!playback_.is_playing())
        return;
    const int position = play_position();
    if (!playback_.is_finished() && position < finish_) {
        position_bar_.set_value_in_range(0, playback_.length(), position);
        return;
    }
    end_marking();
}

void FormMain::on_timer_message(int id)
{
    if (id == position_timer_) {
        on_position_tick();
    } else if (id != 0 && id == autoplay_timer_) {
        kill_autoplay();
        if (!play(file_panel_.files.current_path(), 0))
            show_panel(file_panel_);
    } else {
        Form::on_timer_message(id);
    }
}

int FormMain::on_menu_update(skinner::MenuItemDescription& item)
{
    if (item.command != u"Menu")
        return Form::on_menu_update(item);
    fill_menu(item);
    return 1;
}

void FormMain::fill_menu(skinner::MenuItemDescription& item)
{
    LanguageFinder finder;
    os::scan(finder, os::expand_macros(u"%app_path%"), u"*.lng", u"*", false);
    // In the order of their names, not the order the file system happens to keep.
    std::sort(finder.paths.begin(), finder.paths.end());
    if (!finder.paths.empty()) {
        skinner::MenuItemDescription languages;
        languages.command = u"Language";
        languages.text = properties().translate(u"Menu_Language");
        for (const std::u16string& found : finder.paths) {
            const std::u16string full = u"%app_path%/" + os::file_name(found);
            skinner::MenuItemDescription entry;
            entry.command = std::u16string(language_command) + full;
            entry.text = os::base_name(full);
            entry.checked = full == language_path_;
            languages.items.push_back(std::move(entry));
        }
        item.items.push_back(std::move(languages));
    }
    if (!item.items.empty())
        item.items.back().separator_after = true;
    for (const auto& [command, key] : {std::pair {u"Help", u"Menu_Help"}, {u"About", u"Menu_About"},
             {u"Exit", u"Menu_Exit"}}) {
        skinner::MenuItemDescription entry;
        entry.command = command;
        entry.text = properties().translate(key);
        item.items.push_back(std::move(entry));
    }
}
