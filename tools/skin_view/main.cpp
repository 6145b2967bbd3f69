// melodrift-skin-view: opens one form of a skin file on the desktop or headless.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "liba/text.h"
#include "os/language_file.h"
#include "platform/backend.h"
#include "platform/base/message_queue.h"
#include "platform/png_writer.h"
#include "platform/screen.h"
#include "platform/script.h"
#include "platform/session.h"
#include "platform/window.h"
#include "skinner/skin/properties.h"
#include "tools/skin_view/view_form.h"

namespace {

constexpr const char* usage = "usage: melodrift-skin-view SKIN FORM [options]\n"
                              "\n"
                              "Shows the form FORM of the skin file SKIN as the program would: the variant that\n"
                              "fits the screen, the skin's own controls, and an outline with the name of every\n"
                              "other control the program makes itself. Edit fields (\"edt...\") take typing:\n"
                              "drawn from the skin on a Pocket PC, the platform's edit window on a Smartphone.\n"
                              "Close the window (or press Back on a Smartphone screen) to end; F11 turns the\n"
                              "screen.\n"
                              "\n"
                              "  --screen WxH              screen size (default 480x640)\n"
                              "  --device pocketpc|smartphone\n"
                              "                            device kind (default pocketpc)\n"
                              "  --landscape               swap the screen's width and height\n"
                              "  --language FILE.lng       translate the skin's texts with this language file\n"
                              "  --headless                no window: draw in memory (with --screenshot or --script)\n"
                              "  --script FILE             play a script of taps and keys (see the README)\n"
                              "  --screenshot FILE.png     save the screen when the form is idle (or when the\n"
                              "                            script ends) and quit\n"
                              "  --zoom N                  desktop pixels per screen pixel (1 to 8)\n"
                              "  -h, --help                show this text\n"
                              "\n"
                              "Exit status: 0 shown, 1 the skin cannot be used or a script step failed, 2 a\n"
                              "mistake on the command line.\n";

struct Options {
    std::string skin;
    std::string form;
    platform::ScreenConfig screen;
    bool landscape = false;
    std::string language;
    bool headless = false;
    std::string script;
    std::string screenshot;
    int zoom = 1;
};

int usage_error(const std::string& reason)
{
    std::fprintf(stderr, "melodrift-skin-view: %s (see --help)\n", reason.c_str());
    return 2;
}

// 0 to go on, or the exit status.
int parse(int argc, char** argv, Options& options)
{
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&](const char* name) -> const char* {
            if (i + 1 >= argc) {
                usage_error(std::string(name) + " needs a value");
                return nullptr;
            }
            return argv[++i];
        };
        if (arg == "-h" || arg == "--help") {
            std::fputs(usage, stdout);
            return -1;
        } else if (arg == "--screen") {
            const char* text = value("--screen");
            if (!text)
                return 2;
            const auto size = platform::parse_screen_size(text);
            if (!size)
                return usage_error("--screen takes WxH, each 64 to 4096");
            options.screen.size = *size;
        } else if (arg == "--device") {
            const char* text = value("--device");
            if (!text)
                return 2;
            const auto device = platform::parse_device_kind(text);
            if (!device)
                return usage_error("--device takes pocketpc or smartphone");
            options.screen.device = *device;
        } else if (arg == "--landscape") {
            options.landscape = true;
        } else if (arg == "--language" || arg == "--script" || arg == "--screenshot") {
            const char* text = value(arg.c_str());
            if (!text)
                return 2;
            (arg == "--language" ? options.language : arg == "--script" ? options.script : options.screenshot) = text;
        } else if (arg == "--headless") {
            options.headless = true;
        } else if (arg == "--zoom") {
            const char* text = value("--zoom");
            if (!text)
                return 2;
            options.zoom = std::atoi(text);
            if (options.zoom < 1 || options.zoom > 8)
                return usage_error("--zoom takes 1 to 8");
        } else if (!arg.empty() && arg[0] == '-') {
            return usage_error("unknown option " + arg);
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 2)
        return usage_error("give a skin file and a form name");
    options.skin = positional[0];
    options.form = positional[1];
    if (options.landscape)
        std::swap(options.screen.size.width, options.screen.size.height);
    if (options.headless && options.script.empty() && options.screenshot.empty())
        return usage_error("--headless shows nothing without --screenshot or --script");
    return 0;
}

void run_until_idle()
{
    platform::Message message;
    while (platform::peek_message(message) && message.message != platform::messages::quit)
        platform::dispatch(message);
}

int view(const Options& options)
{
    platform::Session session(options.screen);
    skinner::Form::set_window_class(u"SkinnerClass_SkinView");
    const auto backend = platform::open_backend(options.headless ? "headless" : "sdl", {"Skin view", options.zoom});
    if (!backend)
        return 1;
    std::vector<platform::ScriptStep> steps;
    std::string error;
    if (!options.script.empty() && !platform::read_script_file(options.script, steps, error)) {
        std::fprintf(stderr, "melodrift-skin-view: %s\n", error.c_str());
        return 2;
    }

    skinner::Properties properties(liba::to_wide(options.skin), options.screen.size);
    if (!properties.is_valid()) {
        std::fprintf(stderr, "melodrift-skin-view: %s is not a skin that can be used\n", options.skin.c_str());
        return 1;
    }
    if (!properties.check_version(u"", options.screen.size))
        std::fprintf(stderr, "melodrift-skin-view: warning: the skin names no layout for %dx%d on this device\n",
            options.screen.size.width, options.screen.size.height);
    if (!options.language.empty() && !properties.load_language(liba::to_wide(options.language))) {
        std::fprintf(stderr, "melodrift-skin-view: cannot read the language file %s\n", options.language.c_str());
        return 1;
    }

    ViewForm form(properties, liba::to_wide(options.form));
    platform::set_window_text(form.window(), liba::to_wide(options.form));
    std::unique_ptr<platform::ScriptPlayer> player;
    if (!steps.empty())
        player =
            std::make_unique<platform::ScriptPlayer>(std::move(steps), *backend, platform::ScriptPlayer::AtEnd::quit);
    if (player || options.screenshot.empty()) {
        form.do_modal();
    } else {
        platform::set_active_window(form.window());
        form.set_active(true);
        run_until_idle();
    }
    if (!options.screenshot.empty() &&
        !platform::write_png(platform::screen_surface(), liba::to_wide(options.screenshot))) {
        std::fprintf(stderr, "melodrift-skin-view: cannot write %s\n", options.screenshot.c_str());
        return 1;
    }
    return player && player->failed() ? 1 : 0;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    const int parsed = parse(argc, argv, options);
    if (parsed != 0)
        return parsed < 0 ? 0 : parsed;
    return view(options);
}
