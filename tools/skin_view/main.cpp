// melodrift-skin-view: opens one form of a skin file on the desktop or headless.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "liba/text.h"
#include "os/language_file.h"
#include "platform/backend.h"
#include "platform/display_options.h"
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
                              "fits the screen, the skin's own controls, the buttons, check boxes, frames,\n"
                              "bars, edit fields and lists the program makes by id (\"btn\", \"chk\", \"frm\",\n"
                              "\"pb\", \"edt\", \"lst\" names; edit fields take typing, lists show sample\n"
                              "rows), and an outline with the name of every\n"
                              "other control the program makes itself. Close the window (or press Back on a\n"
                              "Smartphone screen) to end; F11 turns the screen.\n"
                              "\n"
                              "  --landscape               swap the screen's width and height\n"
                              "  --language FILE.lng       translate the skin's texts with this language file\n"
                              "  --screenshot FILE.png     save the screen when the form is idle (or when the\n"
                              "                            script ends) and quit; --headless needs it or --script\n"
                              "  -h, --help                show this text\n";

constexpr const char* exit_status = "\n"
                                    "Exit status: 0 shown, 1 the skin cannot be used or a script step failed, 2 a\n"
                                    "mistake on the command line.\n";

struct Options {
    std::string skin;
    std::string form;
    platform::DisplayOptions display;
    bool landscape = false;
    std::string language;
    std::string screenshot;
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
        std::string error;
        switch (platform::take_display_option(argc, argv, i, options.display, error)) {
        case platform::OptionTaken::yes:
            continue;
        case platform::OptionTaken::mistake:
            return usage_error(error);
        case platform::OptionTaken::no:
            break;
        }
        if (arg == "-h" || arg == "--help") {
            std::fputs(usage, stdout);
            std::fputs(platform::display_options_help, stdout);
            std::fputs(exit_status, stdout);
            return -1;
        } else if (arg == "--landscape") {
            options.landscape = true;
        } else if (arg == "--language" || arg == "--screenshot") {
            const char* text = value(arg.c_str());
            if (!text)
                return 2;
            (arg == "--language" ? options.language : options.screenshot) = text;
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
        std::swap(options.display.screen.size.width, options.display.screen.size.height);
    if (options.display.headless && options.display.script.empty() && options.screenshot.empty())
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
    platform::Session session(options.display.screen);
    skinner::Form::set_window_class(u"SkinnerClass_SkinView");
    const auto backend = platform::open_backend(options.display.headless ? "headless" : "sdl", {"Skin view", options.display.zoom});
    if (!backend)
        return 1;
    std::vector<platform::ScriptStep> steps;
    std::string error;
    if (!options.display.script.empty() && !platform::read_script_file(options.display.script, steps, error)) {
        std::fprintf(stderr, "melodrift-skin-view: %s\n", error.c_str());
        return 2;
    }

    skinner::Properties properties(liba::to_wide(options.skin), options.display.screen.size);
    if (!properties.is_valid()) {
        std::fprintf(stderr, "melodrift-skin-view: %s is not a skin that can be used\n", options.skin.c_str());
        return 1;
    }
    if (!properties.check_version(u"", options.display.screen.size))
        std::fprintf(stderr, "melodrift-skin-view: warning: the skin names no layout for %dx%d on this device\n",
            options.display.screen.size.width, options.display.screen.size.height);
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
