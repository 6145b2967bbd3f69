#pragma once

#include <string>

#include "app/panels.h"
#include "app/playback.h"
#include "app/settings.h"
#include "skinner/controls/control_progress.h"
#include "skinner/core/form.h"
#include "skinner/menu/control_menu_main.h"

// The program's window: four panels, one shown at a time, that walk the user from
// choosing a file through marking the fragment while it plays to saving it; the
// position bar that follows and seeks the playback; and the menu.
class FormMain : public skinner::Form {
public:
    explicit FormMain(skinner::Properties& skin);
    ~FormMain() override;

    void show_panel(skinner::ControlPanel& panel);
    // What the settings file holds, read and applied (the language, the folder and
    // the file of the list), and written back.
    void load_settings();
    void save_settings();
    // Loads the current language file, falling back to English.
    void apply_language();

    // Playback while marking, in the reader's own unit.
    bool play(std::u16string_view path, int from);
    void stop();
    int play_position();
    bool fragment_is_valid() const;

    int start() const { return start_; }
    int finish() const { return finish_; }
    const std::u16string& language_path() const { return language_path_; }

    PanelFile& file_panel() { return file_panel_; }
    PanelStart& start_panel() { return start_panel_; }
    PanelFinish& finish_panel() { return finish_panel_; }
    PanelSave& save_panel() { return save_panel_; }
    skinner::ControlProgress& position_bar() { return position_bar_; }

    int on_click(skinner::Control* sender, int flag) override;
    int on_command(skinner::Control* sender, std::u16string_view command) override;
    int on_value_changed(skinner::Control* sender, double value) override;
    int on_menu_update(skinner::MenuItemDescription& item) override;
    bool on_key_down(int key) override;
    void on_timer_message(int id) override;

private:
    void select_current_file();
    // Saves the marked fragment as a ring tone; its path, or empty when none was made.
    std::u16string make_ringtone_of_fragment(bool assign);
    // Saves it and makes it the phone's ring tone, which ends the program.
    void assign_fragment();
    void start_autoplay();
    void kill_autoplay();
    void on_position_tick();
    // After the end of playback or the finish mark: save if the fragment is usable.
    void end_marking();
    void seek_by(int direction);
    void fill_menu(skinner::MenuItemDescription& item);

    skinner::ControlMenuMain menu_ {*this, u"MenuMain"};
    PanelFile file_panel_ {*this};
    PanelStart start_panel_ {*this};
    PanelFinish finish_panel_ {*this};
    PanelSave save_panel_ {*this};
    skinner::ControlProgress position_bar_ {*this, u"pbPosition"};
    int autoplay_timer_ = 0;
    int position_timer_ = 0;
    std::u16string language_path_;
    int start_ = -1;
    int finish_ = -1;
    Playback playback_;
};
