// platform_demo [--headless] [--script FILE] [--screen WxH] [--device pocketpc|smartphone]
//               [--zoom N] [ARGUMENTS handed to a running copy]
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "liba/text.h"
#include "platform/backend.h"
#include "platform/base/keys.h"
#include "platform/font.h"
#include "platform/screen.h"
#include "platform/script.h"
#include "platform/session.h"
#include "platform/shell.h"
#include "platform/shell_instance.h"
#include "platform/window.h"

using namespace platform;

namespace {

constexpr std::uint32_t end_modal = 1057;
constexpr std::uint32_t command_menu = 40000;
constexpr std::uint32_t command_dialog = 40001;
constexpr std::uint32_t command_message_box = 4;
constexpr std::uintptr_t tick_timer = 1;
constexpr Rect colour_box{20, 20, 120, 120};

const Colour palette[] = {{0, 0, 255}, {255, 0, 0}, {0, 160, 0}, {255, 255, 0}};

struct Options {
    bool headless = false;
    std::string script;
    ScreenConfig screen;
    int zoom = 1;
    std::u16string hand_over;
};

bool parse_options(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool has_value = i + 1 < argc;
        if (arg == "--headless") {
            options.headless = true;
        } else if (arg == "--script" && has_value) {
            options.script = argv[++i];
        } else if (arg == "--screen" && has_value) {
            const auto size = parse_screen_size(argv[++i]);
            if (!size)
                return false;
            options.screen.size = *size;
        } else if (arg == "--device" && has_value) {
            const auto device = parse_device_kind(argv[++i]);
            if (!device)
                return false;
            options.screen.device = *device;
        } else if (arg == "--zoom" && has_value) {
            options.zoom = std::atoi(argv[++i]);
            if (options.zoom < 1 || options.zoom > 8)
                return false;
        } else {
            options.hand_over += (options.hand_over.empty() ? u"" : u" ") + liba::to_wide(arg);
        }
    }
    return true;
}

// The demo's main window and its dialog.
class DemoWindow {
public:
    DemoWindow()
    {
        WindowSpec spec;
        spec.class_name = u"SkinnerClass_PlatformDemo";
        spec.title = u"Platform demo";
        spec.style = styles::visible | styles::clip_children;
        spec.procedure = [this](const Message& m) { return handle(m); };
        window_ = create_window(spec);
        set_menu_bar(window_, {{u"Menu", command_menu, true}, {u"Dialog", command_dialog, true}});
        set_active_window(window_);
        set_timer(window_, tick_timer, 100);
        font_ = Font::create({-14, 400, false, false, u"Tahoma"});
    }

    ~DemoWindow()
    {
        remove_menu_bar(window_);
        destroy_window(window_);
    }

private:
    std::intptr_t handle(const Message& m)
    {
        switch (m.message) {
        case messages::paint:
            paint();
            return 0;
        case messages::left_down: {
            const Point p{point_param_x(m.lparam), point_param_y(m.lparam)};
            if (recognize_tap_and_hold(window_, p)) {
                choose(track_popup_menu(menu_items(), screen_point(p), window_));
            } else {
                ++taps_;
                colour_ = (colour_ + 1) % 4;
                invalidate(window_);
            }
            return 0;
        }
        case messages::key_down:
            last_key_ = key_name(static_cast<std::uint32_t>(m.wparam));
            invalidate(window_);
            return 0;
        case messages::character:
            if (m.wparam >= 32) {
                typed_ += static_cast<char16_t>(m.wparam);
                invalidate(window_);
            }
            return 0;
        case messages::ime_composition:
            typed_ += composition_result();
            invalidate(window_);
            return 0;
        case messages::command:
            if (m.wparam == command_menu) {
                const Rect screen = screen_rect(window_);
                choose(track_popup_menu(menu_items(), {0, screen.bottom()}, window_));
            } else if (m.wparam == command_dialog) {
                run_dialog();
            }
            return 0;
        case messages::timer:
            ++ticks_;
            invalidate(window_, Rect{0, progress_y(), window_rect(window_).width, 8});
            return 0;
        case messages::setting_change:
            move_window(window_, work_area());
            return 0;
        case messages::copy_data: {
            const auto* data = reinterpret_cast<const CopyData*>(m.lparam);
            received_.assign(static_cast<const char16_t*>(data->data), data->size / 2);
            set_active_window(window_);
            invalidate(window_);
            return 1;
        }
        case messages::close:
            post_quit_message(0);
            return 0;
        default:
            return default_window_procedure(m);
        }
    }

    Point screen_point(Point client) const
    {
        const Rect r = screen_rect(window_);
        return {r.x + client.x, r.y + client.y};
    }

    int progress_y() const { return colour_box.bottom() + 12; }

    static std::vector<PopupItem> menu_items()
    {
        return {
            {u"Blue", u"", 1, true, false, false, {}},
            {u"Red", u"", 2, true, false, false, {}},
            {u"Green", u"", 3, true, false, true, {}},
            {u"Message box", u"", 10 + command_message_box, true, false, false, {}},
            {u"More", u"", 0, true, false, false, {{u"Yellow", u"", 4, true, false, false, {}}}},
        };
    }

    void choose(std::uint32_t command)
    {
        if (command >= 1 && command <= 4) {
            colour_ = static_cast<int>(command) - 1;
            invalidate(window_);
        } else if (command == 10 + command_message_box) {
            message_box({window_, u"Hello from the platform layer", u"Demo", MessageBoxButtons::ok});
        }
    }

    static std::u16string key_name(std::uint32_t key)
    {
        if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
            return std::u16string(1, static_cast<char16_t>(key));
        switch (key) {
        case keys::enter: return u"Enter";
        case keys::escape: return u"Escape";
        case keys::left: return u"Left";
        case keys::right: return u"Right";
        case keys::up: return u"Up";
        case keys::down: return u"Down";
        default: return u"#" + liba::to_wide(std::to_string(key));
        }
    }

    void paint()
    {
        PaintSession session(window_);
        DeviceContext& dc = session.context();
        const Rect all{0, 0, window_rect(window_).width, window_rect(window_).height};
        dc.fill(all, Colour{230, 230, 230});
        dc.fill(colour_box, palette[colour_]);
        const int width = all.width - 40;
        dc.fill({20, progress_y(), width, 8}, Colour{255, 255, 255});
        dc.fill({20, progress_y(), width * (ticks_ % 50) / 50, 8}, Colour{16, 64, 160});
        if (!font_)
            return;
        const std::u16string lines[] = {
            u"Taps: " + liba::to_wide(std::to_string(taps_)),
            u"Key: " + last_key_,
            u"Text: " + typed_,
            u"From another copy: " + received_,
            u"Screen: " + liba::to_wide(std::to_string(screen_size().width) + "x" + std::to_string(screen_size().height)),
        };
        int y = progress_y() + 20;
        for (const auto& line : lines) {
            dc.draw_text(*font_, {20, y}, line, Colour{0, 0, 0});
            y += font_->metrics().height + 4;
        }
    }

    // A modal dialog: its own loop runs until the dialog ends; the main window is
    // disabled meanwhile.
    void run_dialog()
    {
        const Rect area = work_area();
        WindowSpec spec;
        spec.class_name = u"DemoDialog";
        spec.title = u"Dialog";
        spec.style = styles::popup | styles::visible;
        spec.rect = {area.x + (area.width - 200) / 2, area.y + (area.height - 120) / 2, 200, 120};
        spec.owner = window_;
        WindowHandle dialog = no_window;
        spec.procedure = [this, &dialog](const Message& m) -> std::intptr_t {
            switch (m.message) {
            case messages::paint: {
                PaintSession session(dialog);
                session.context().fill({0, 0, 200, 120}, Colour{0, 0, 0});
                session.context().fill({2, 2, 196, 116}, Colour{255, 255, 255});
                if (font_)
                    session.context().draw_text(*font_, {12, 50}, u"Tap to close", Colour{0, 0, 0});
                return 0;
            }
            case messages::left_up:
                post_message(dialog, end_modal);
                return 0;
            case messages::key_down:
                if (m.wparam == keys::enter || m.wparam == keys::escape)
                    post_message(dialog, end_modal);
                return 0;
            default:
                return default_window_procedure(m);
            }
        };
        dialog = create_window(spec);
        enable_window(window_, false);
        set_active_window(dialog);
        Message m;
        while (get_message(m)) {
            dispatch(m);
            if (m.message == end_modal && m.window == dialog)
                break;
        }
        enable_window(window_, true);
        destroy_window(dialog);
        set_active_window(window_);
        last_key_ = u"(dialog closed)";
        invalidate(window_);
    }

    WindowHandle window_ = no_window;
    std::shared_ptr<Font> font_;
    int colour_ = 0;
    int taps_ = 0;
    int ticks_ = 0;
    std::u16string last_key_;
    std::u16string typed_;
    std::u16string received_;
};

int run(const Options& options, InstanceLock& instance)
{
    std::vector<ScriptStep> steps;
    std::string error;
    if (!options.script.empty() && !read_script_file(options.script, steps, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    const auto backend = open_backend(options.headless ? "headless" : "sdl", {"Platform demo", options.zoom});
    if (!backend)
        return 2;
    std::unique_ptr<ScriptPlayer> script;
    if (!options.script.empty())
        script = std::make_unique<ScriptPlayer>(std::move(steps), *backend, ScriptPlayer::AtEnd::quit);

    DemoWindow demo;
    // Held until the window exists, so a copy starting meanwhile waits and then finds it.
    instance.release_startup_lock();
    Message m;
    while (get_message(m))
        dispatch(m);
    return script && script->failed() ? 1 : 0;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parse_options(argc, argv, options)) {
        std::fprintf(stderr, "usage: platform_demo [--headless] [--script FILE] [--screen WxH] "
                             "[--device pocketpc|smartphone] [--zoom N] [TEXT for a running copy]\n");
        return 2;
    }
    Session session(options.screen);

    // Headless runs are tests and may run side by side; only desktop copies are single.
    InstanceLock instance(u"SkinnerClass_PlatformDemo");
    if (!options.headless && instance.find_running_copy(options.hand_over))
        return 0;
    return run(options, instance);
}
