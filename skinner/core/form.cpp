#include "skinner/core/form.h"

#include <algorithm>
#include <cstdio>

#include "liba/log.h"
#include "liba/text.h"
#include "platform/base/clock.h"
#include "platform/base/message_queue.h"
#include "platform/screen.h"
#include "platform/shell.h"
#include "platform/window.h"
#include "skinner/core/form_impl.h"
#include "skinner/core/framework_state.h"
#include "skinner/draw/image_record.h"
#include "skinner/menu/menu_manager.h"
#include "skinner/skin/device.h"
#include "skinner/skin/properties.h"

namespace skinner {

namespace {

constexpr std::u16string_view default_font = u"14 1 0 0 Tahoma";

// One axis of the StartPosition rule: where the window goes and how large it is.
struct AxisPlace {
    int position;
    int size;
};

AxisPlace place_axis(
    int rule, int needed, int skin_position, int work_origin, int work_size, int reference_origin, int reference_size)
{
    switch (rule) {
    case START_CENTER_WORK:
        return {work_origin + (work_size - needed) / 2, needed};
    case START_CENTER_OWNER:
        return {reference_origin + (reference_size - needed) / 2, needed};
    case START_FILL:
        return {work_origin, std::max(needed, work_size)};
    case START_NEAR:
        return {work_origin, needed};
    case START_FAR:
        return {work_origin + work_size - needed, needed};
    default:
        return {skin_position, needed};
    }
}

void reload_forms_of(const Properties& properties)
{
    // By index, afresh each time: a reload may make or destroy forms.
    const auto& forms = framework_state().live_forms;
    for (size_t i = 0; i < forms.size(); ++i) {
        Form* form = forms[i];
        if (&form->properties() == &properties)
            form->reload_skin();
    }
}

void log_modal_step(int step)
{
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%f", platform::tick_count() / 1000.0);
    liba::log() << seconds << u" Form::do_modal: " << step << u"\n";
}

// The process-wide full-screen switch; every form lays itself out again when it flips.
void set_full_screen_mode(bool full_screen)
{
    if (platform::full_screen() == full_screen)
        return;
    platform::set_full_screen(full_screen);
    for (Form* form : std::vector<Form*>(framework_state().live_forms))
        platform::send_message(form->window(), platform::messages::setting_change, platform::setting_input_panel);
}

bool pending_character(platform::WindowHandle window, std::uintptr_t& character)
{
    platform::Message next;
    if (!platform::peek_message(next, {window, platform::messages::character, platform::messages::character}))
        return false;
    character = next.wparam;
    return true;
}

} // namespace

FormImplHolder::FormImplHolder() = default;
FormImplHolder::~FormImplHolder() = default;

Form::Form(Form* owner, Properties& properties, std::u16string_view name, Listener* listener)
    : Container(this, properties, name, NodeMode::by_id, listener)
    , owner_(owner)
    , font_(properties.scale())
{
    Properties::set_form_reloader(reload_forms_of);
    impl_ = std::make_unique<FormImpl>(*this, owner);
    framework_state().live_forms.push_back(this);
    read_form_properties();
    const FormInMaking making(form_name());
    create_auto_controls();
}

Form::~Form()
{
    std::erase(framework_state().live_forms, this);
    // The skin's controls go while the window they draw in still exists.
    delete_auto_controls();
    impl_.reset();
}

void Form::set_window_class(std::u16string name) { framework_state().window_class = std::move(name); }

Form* Form::current_modal() { return framework_state().current_modal; }

const std::vector<Form*>& Form::live_forms() { return framework_state().live_forms; }

platform::WindowHandle Form::window() const { return impl_ ? impl_->window() : platform::no_window; }

void Form::read_form_properties()
{
    background_ = form_picture(u"Background", Picture());
    start_position_ = form_integer(u"StartPosition", start_position_);
    start_position_x_ = form_integer(u"StartPositionX", start_position_);
    start_position_y_ = form_integer(u"StartPositionY", start_position_);
    font_ = Font(properties().scale());
    font_.set_specification(default_font);
    if (background_.has_record() && !background_.has_bitmap())
        on_picture_failed(background_);
    place_window();
    fit_to_window();
    impl_->reset_back_buffer();
}

// The window keeps the size it had when placing did not change it (it was already
// that size, or the program places it): the form takes it over.
void Form::fit_to_window()
{
    const platform::Rect rect = platform::window_rect(window());
    if (actual_size() != Point{rect.width, rect.height})
        set_rectangle({0, 0}, {rect.width, rect.height});
}

void Form::reload_skin()
{
    {
        const FormInMaking making(form_name());
        Container::reload_skin();
    }
    read_form_properties();
    set_rectangle(origin(), actual_size());
}

void Form::place_window()
{
    if (start_position_x_ == START_MANUAL || start_position_y_ == START_MANUAL)
        return;
    const Point needed = needed_size();
    if (needed.x == 0 && needed.y == 0)
        return;
    const Point skin_position = form_point(u"Position", {0, 0});
    const platform::Rect work = platform::work_area(true);
    const platform::Rect reference = owner_ ? platform::window_rect(owner_->window()) : work;
    const AxisPlace x =
        place_axis(start_position_x_, needed.x, skin_position.x, work.x, work.width, reference.x, reference.width);
    const AxisPlace y =
        place_axis(start_position_y_, needed.y, skin_position.y, work.y, work.height, reference.y, reference.height);
    platform::move_window(window(), {x.position, y.position, x.size, y.size});
    first_placement_ = false;
}

int Form::start_timer(double seconds)
{
    const int id = ++framework_state().last_timer_id;
    const double milliseconds = seconds * 1000.0;
    platform::set_timer(window(), static_cast<std::uintptr_t>(id),
        milliseconds < 1.0         ? 1u
            : milliseconds > 4.0e9 ? 4'000'000'000u
                                   : static_cast<std::uint32_t>(milliseconds));
    return id;
}

void Form::stop_timer(int id)
{
    if (id != 0)
        platform::kill_timer(window(), static_cast<std::uintptr_t>(id));
}

void Form::invalidate(Point origin, Point size)
{
    if (impl_)
        impl_->invalidate({origin.x, origin.y, size.x, size.y});
}

void Form::come_to_front()
{
    platform::WindowHandle target = window();
    for (const platform::WindowHandle other : platform::top_level_windows())
        if (platform::owner_window(other) == target && platform::is_window_enabled(other) &&
            platform::is_window_visible(other))
            target = other;
    platform::set_active_window(target);
    platform::raise_screen();
}

void Form::register_menu_main(ControlMenuMain& menu)
{
    if (menu_main_)
        liba::fatal_error(u"Form::register_menu_main", u"Menu main is already exists");
    menu_main_ = &menu;
    menu_manager().mark_for_rebuild();
}

void Form::unregister_menu_main(ControlMenuMain& menu)
{
    if (menu_main_ != &menu)
        liba::fatal_error(u"Form::unregister_menu_main", u"Menus do not match");
    menu_main_ = nullptr;
}

MenuList& Form::menu_list() { return menu_manager().list(); }

MenuManager& Form::menu_manager() { return impl_->menu_manager(); }

void Form::reactivate_menu()
{
    if (!menu_main_)
        return;
    menu_manager().set_visible(true);
    menu_manager().show();
}

void Form::on_text_from_another_copy(std::u16string_view) { come_to_front(); }

void Form::on_picture_failed(const Picture& picture)
{
    if (owner_) {
        owner_->on_picture_failed(picture);
        return;
    }
    std::u16string text;
    if (const ImageRecord* record = picture.record())
        text = u"name=" + record->key().name + u"\nscale=" + liba::to_wide(std::to_string(record->key().scale)) +
            u"\nbase_path=" + record->key().path;
    platform::message_box({window(), text, properties().translate(u"on_picture_failed_to_load", u"Out of memory"),
        platform::MessageBoxButtons::ok});
    if (in_modal_)
        close();
}

void Form::close()
{
    platform::send_message(window(), platform::messages::close);
    liba::log() << u"Form WM_CLOSE sent\n";
}

void Form::do_modal()
{
    FrameworkState& state = framework_state();
    Form* const previous = std::exchange(state.current_modal, this);
    in_modal_ = true;
    log_modal_step(1);
    log_modal_step(2);
    set_full_screen_mode(full_screen_);
    platform::set_active_window(window());
    set_active(true);
    log_modal_step(3);

    std::vector<platform::WindowHandle> disabled;
    if (owner_) {
        for (Form* other : std::vector<Form*>(state.live_forms))
            if (other != this && platform::is_window_enabled(other->window())) {
                platform::enable_window(other->window(), false);
                disabled.push_back(other->window());
            }
    }

    if (menu_main_)
        menu_manager().show();

    const bool pocket_pc = !is_smartphone();
    platform::Message message;
    while (platform::get_message(message)) {
        platform::dispatch(message);
        if (message.message == end_modal_message && message.window == window())
            break;
        if (!pocket_pc || message.window == platform::no_window)
            continue;
        if (message.message == platform::messages::key_down || message.message == platform::messages::system_key_down) {
            std::uintptr_t character = 0;
            if (!pending_character(message.window, character) || character < 32)
                character = 0;
            platform::send_message(message.window, key_message, message.wparam, static_cast<std::intptr_t>(character));
        } else if (message.message == platform::messages::character) {
            // A character without its key (typed text, an input method): no key.
            const auto character = static_cast<std::intptr_t>(message.wparam >= 32 ? message.wparam : 0);
            platform::send_message(message.window, key_message, 0, character);
        }
    }

    for (const platform::WindowHandle window : disabled)
        platform::enable_window(window, true);
    if (owner_ && platform::is_window(owner_->window()))
        owner_->come_to_front();

    set_active(false);
    in_modal_ = false;
    state.current_modal = previous;
    if (previous)
        previous->reactivate_menu();
    set_full_screen_mode(previous ? previous->full_screen() : false);
}

} // namespace skinner
