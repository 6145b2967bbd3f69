// melodrift: the ring-tone maker's window, the hand-held's screen on the desktop.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/form_main.h"
#include "app/product.h"
#include "liba/text.h"
#include "os/path.h"
#include "platform/backend.h"
#include "platform/display_options.h"
#include "platform/screen.h"
#include "platform/script.h"
#include "platform/session.h"
#include "platform/shell.h"
#include "platform/sound/audio_output.h"
#include "skinner/skin/properties.h"

namespace {

constexpr const char* usage = "usage: melodrift [options]\n"
                              "\n"
                              "Browse your music, listen, mark where the ring tone starts and finishes while\n"
                              "it plays, and save it as an MP3 ring tone. Only one copy runs: starting it again\n"
                              "brings the running copy to the front.\n"
                              "\n";

constexpr const char* more_options = "  --audio OUTPUT            where the sound goes: sdl (the sound card, the default),\n"
                                     "                            null (nowhere) or wav:PATH (recorded to PATH)\n"
                                     "  -h, --help                show this text\n"
                                     "  --version                 show the version\n"
                                     "\n"
                                     "Exit status: 0 after a normal end or a hand-over to the running copy, 1 when no\n"
                                     "usable skin was found or a script step failed, 2 a mistake on the command line.\n";


struct Options {
    platform::DisplayOptions display;
    std::u16string command_line;
};

int usage_error(const std::string& reason)
{
    std::fprintf(stderr, "melodrift: %s (see --help)\n", reason.c_str());
    return 2;
}

// 0 to go on, -1 to end at once with 0, or the exit status of a mistake.
int parse(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!options.command_line.empty())
            options.command_line += u' ';
        options.command_line += liba::to_wide(arg);
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
            std::fputs(more_options, stdout);
            return -1;
        }
        if (arg == "--version") {
            std::printf("melodrift %s\n", product_version);
            return -1;
        }
        if (arg == "--audio") {
            const auto output = i + 1 < argc ? platform::parse_audio_output(argv[++i]) : std::nullopt;
            if (!output)
                return usage_error("--audio takes sdl, null or wav:PATH");
            platform::choose_audio_output(*output);
            continue;
        }
        return usage_error("unknown argument " + arg);
    }
    return 0;
}

void warn(platform::WindowHandle owner, std::u16string_view text)
{
    platform::message_box({owner, std::u16string(text), u"Warning", platform::MessageBoxButtons::ok});
}


// The skin that fits this version and this screen: the alternative one when it does,
// else the default one. Nothing when neither does; *alternative_refused tells whether
// an alternative skin was there but could not be used.
std::unique_ptr<skinner::Properties> choose_skin(bool& alternative_refused)
{
    auto skin = std::make_unique<skinner::Properties>(std::u16string(alternative_skin_path), platform::screen_size());
    alternative_refused = false;
    if (skin->check_version(skin_version_key, platform::screen_size()))
        return skin;
    alternative_refused = skin->is_valid();
    skin->load_skin(std::u16string(default_skin_path), platform::screen_size());
    if (skin->check_version(skin_version_key, platform::screen_size()))
        return skin;
    return nullptr;
}

int run(const Options& options)
{
    platform::Session session(options.display.screen);
    os::Application application(product_name);
    skinner::Form::set_window_class(application.window_class());
    if (application.find_prior_instance(options.command_line))
        return 0;

    std::vector<platform::ScriptStep> steps;
    std::string error;
    if (!options.display.script.empty() && !platform::read_script_file(options.display.script, steps, error)) {
        std::fprintf(stderr, "melodrift: %s\n", error.c_str());
        return 2;
    }
    const auto backend = platform::open_backend(options.display.headless ? "headless" : "sdl",
        {liba::to_narrow(product_name), options.display.zoom});
    if (!backend)
        return 1;
    std::unique_ptr<platform::ScriptPlayer> player;
    if (!steps.empty())
        player = std::make_unique<platform::ScriptPlayer>(std::move(steps), *backend, platform::ScriptPlayer::AtEnd::quit);

    bool alternative_refused = false;
    std::unique_ptr<skinner::Properties> skin = choose_skin(alternative_refused);
    if (!skin) {
        warn(platform::no_window, u"Default skin not found or it is incompatible with this version of Melodrift");
        return 1;
    }
    skin->load_language(english_language_path);
    {
        FormMain form(*skin);
        form.load_settings();
        application.release_startup_lock();
        if (alternative_refused)
            warn(form.window(), u"Alternative skin is incompatible with this version of Melodrift");
        form.do_modal();
        form.save_settings();
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
    return run(options);
}
