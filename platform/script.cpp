#include "platform/script.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <utility>

#include "liba/text.h"
#include "platform/base/keys.h"
#include "platform/input.h"
#include "platform/png_writer.h"
#include "platform/screen.h"
#include "platform/shell.h"
#include "platform/window.h"

namespace platform {

namespace {

// How many arguments each verb takes (-1: a free text).
const std::map<std::string, int>& verbs()
{
    static const std::map<std::string, int> table{
        {"tap", 2},
        {"press", 2},
        {"move", 2},
        {"release", 2},
        {"hold", 3},
        {"key", 1},
        {"keydown", 1},
        {"keyup", 1},
        {"type", -1},
        {"wait", 1},
        {"rotate", 0},
        {"screenshot", -1},
        {"quit", 0},
        {"wait-until", -1},
        {"doubletap", 2},
    };
    return table;
}

int key_code(const std::string& name)
{
    static const std::map<std::string, std::uint32_t> named{
        {"Backspace", keys::backspace},
        {"Tab", keys::tab},
        {"Enter", keys::enter},
        {"Shift", keys::shift},
        {"Ctrl", keys::control},
        {"Alt", keys::alt},
        {"Escape", keys::escape},
        {"Space", keys::space},
        {"PageUp", keys::page_up},
        {"PageDown", keys::page_down},
        {"End", keys::end},
        {"Home", keys::home},
        {"Left", keys::left},
        {"Up", keys::up},
        {"Right", keys::right},
        {"Down", keys::down},
        {"Insert", keys::insert},
        {"Delete", keys::del},
        {"Apps", keys::applications},
        {"F1", keys::f1},
        {"F2", keys::f2},
        {"F11", keys::f11},
        {"Back", keys::escape},
    };
    const auto found = named.find(name);
    if (found != named.end())
        return static_cast<int>(found->second);
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
        return std::toupper(static_cast<unsigned char>(name[0]));
    return -1;
}

// A whole number small enough for an int: at most nine digits after a sign.
bool is_number(const std::string& word)
{
    const size_t first = !word.empty() && word[0] == '-' ? 1 : 0;
    const size_t digits = word.size() - first;
    if (digits == 0 || digits > 9)
        return false;
    return std::all_of(word.begin() + static_cast<std::ptrdiff_t>(first), word.end(),
        [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
}

Point point_of(const ScriptStep& step) { return {std::stoi(step.words[0]), std::stoi(step.words[1])}; }

} // namespace

bool parse_script(const std::string& text, std::vector<ScriptStep>& steps, std::string& error)
{
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#')
            continue;
        ScriptStep step;
        step.line = number;
        std::istringstream words(line.substr(start));
        words >> step.verb;
        const size_t after = line.find_first_not_of(" \t", start + step.verb.size());
        step.rest = after == std::string::npos ? "" : line.substr(after);
        for (std::string word; words >> word;)
            step.words.push_back(word);

        const auto verb = verbs().find(step.verb);
        const auto bad = [&](const std::string& why) {
            error = "script line " + std::to_string(number) + ": " + why;
            return false;
        };
        if (verb == verbs().end())
            return bad("unknown step \"" + step.verb + "\"");
        if (verb->second >= 0 && static_cast<int>(step.words.size()) != verb->second)
            return bad(step.verb + " takes " + std::to_string(verb->second) + " arguments");
        if (step.verb == "key" || step.verb == "keydown" || step.verb == "keyup") {
            if (key_code(step.words[0]) < 0)
                return bad("unknown key \"" + step.words[0] + "\"");
        } else if (step.verb == "wait-until") {
            if (step.words.size() < 3 || !is_number(step.words[0]))
                return bad("wait-until MS CONDITION ARGUMENTS");
            const std::string& what = step.words[1];
            if (what == "pixel" &&
                (step.words.size() != 5 || !is_number(step.words[2]) || !is_number(step.words[3]) ||
                    step.words[4].size() != 6))
                return bad("wait-until MS pixel X Y RRGGBB");
            if (what != "pixel" && what != "title" && what != "window" && what != "messagebox")
                return bad("unknown condition \"" + what + "\"");
        } else if (step.verb == "screenshot" && step.rest.empty()) {
            return bad("screenshot needs a file name");
        } else if (verb->second > 0 && step.verb != "key") {
            for (const auto& word : step.words)
                if (!is_number(word))
                    return bad("\"" + word + "\" is not a number");
        }
        steps.push_back(std::move(step));
    }
    return true;
}

bool read_script_file(const std::string& path, std::vector<ScriptStep>& steps, std::string& error)
{
    std::ifstream file(path);
    if (!file) {
        error = "cannot read " + path;
        return false;
    }
    std::stringstream text;
    text << file.rdbuf();
    if (parse_script(text.str(), steps, error))
        return true;
    error = path + ": " + error;
    return false;
}

ScriptPlayer::ScriptPlayer(std::vector<ScriptStep> steps, EventSource& screen, AtEnd at_end)
    : steps_(std::move(steps))
    , screen_(screen)
    , at_end_(at_end)
{
    MessageQueue::current()->set_event_source(this);
}

ScriptPlayer::~ScriptPlayer() { MessageQueue::current()->set_event_source(&screen_); }

void ScriptPlayer::append(std::vector<ScriptStep> steps)
{
    steps_.insert(steps_.end(), std::make_move_iterator(steps.begin()), std::make_move_iterator(steps.end()));
    ended_ = false;
}

void ScriptPlayer::wait(Clock::time_point deadline)
{
    if (deadline <= now() || playing_) {
        screen_.wait(deadline);
        return;
    }
    if (at_end_ == AtEnd::stay && finished() && ended_) {
        // Nothing will ever come: a test's loop must not sleep for its deadline.
        if (!failed_)
            fail(steps_.empty() ? 0 : steps_.back().line, "the program waits for input after the last step");
        return;
    }
    playing_ = true;
    Clock::time_point look_again = play(deadline);
    playing_ = false;
    if (at_end_ == AtEnd::stay && finished())
        look_again = now();
    screen_.wait(std::min(deadline, look_again));
}

Clock::time_point ScriptPlayer::play(Clock::time_point limit)
{
    const auto current = now();
    if (finished()) {
        if (!ended_) {
            ended_ = true;
            if (at_end_ == AtEnd::quit)
                post_quit_message(0);
            else if (const auto action = std::exchange(when_done_, nullptr))
                action();
        }
        return Clock::time_point::max();
    }
    const ScriptStep step = steps_[next_];
    if (step.verb == "wait" || step.verb == "wait-until")
        return play_wait(step, limit);
    ++next_;
    if (!run_step(step))
        return Clock::time_point::max();
    // Let the program take the step's input before the next one.
    return current;
}

Clock::time_point ScriptPlayer::play_wait(const ScriptStep& step, Clock::time_point limit)
{
    auto current = now();
    if (!waiting_) {
        waiting_ = true;
        resume_at_ = current + std::chrono::milliseconds(std::stoi(step.words[0]));
    }
    const bool until = step.verb == "wait-until";
    if (until && condition_holds(step)) {
        waiting_ = false;
        ++next_;
        return current;
    }
    // A condition is looked at every 10 ms.
    const auto next_look = until ? std::min(resume_at_, current + std::chrono::milliseconds(10)) : resume_at_;
    if (TestClock* clock = test_clock(); clock && current < resume_at_) {
        clock->advance_to(std::min(next_look, limit));
        current = now();
    }
    if (current < resume_at_)
        return next_look;
    waiting_ = false;
    if (until) {
        fail(step.line, "timed out waiting until " + step.rest);
        return Clock::time_point::max();
    }
    ++next_;
    return current;
}

bool ScriptPlayer::run_step(const ScriptStep& step)
{
    if (step.verb == "tap") {
        input_pointer(messages::left_down, point_of(step));
        input_pointer(messages::left_up, point_of(step));
    } else if (step.verb == "doubletap") {
        input_pointer(messages::left_down, point_of(step));
        input_pointer(messages::left_up, point_of(step));
        input_pointer(messages::left_double_click, point_of(step));
        input_pointer(messages::left_up, point_of(step));
    } else if (step.verb == "press") {
        input_pointer(messages::left_down, point_of(step));
    } else if (step.verb == "move") {
        input_pointer(messages::mouse_move, point_of(step));
    } else if (step.verb == "release") {
        input_pointer(messages::left_up, point_of(step));
    } else if (step.verb == "hold") {
        // Unfolds into press, wait and release.
        input_pointer(messages::left_down, point_of(step));
        ScriptStep wait = step;
        wait.verb = "wait";
        wait.words = {step.words[2]};
        ScriptStep release = step;
        release.verb = "release";
        steps_.insert(steps_.begin() + static_cast<std::ptrdiff_t>(next_), {wait, release});
    } else if (step.verb == "key" || step.verb == "keydown" || step.verb == "keyup") {
        const auto key = static_cast<std::uint32_t>(key_code(step.words[0]));
        if (step.verb != "keyup")
            input_key(key, true);
        if (step.verb != "keydown")
            input_key(key, false);
    } else if (step.verb == "type") {
        // Typed, one character at a time.
        for (const char16_t unit : liba::to_wide(step.rest))
            input_text(std::u16string(1, unit));
    } else if (step.verb == "rotate") {
        rotate_screen();
    } else if (step.verb == "screenshot") {
        if (!write_png(screen_surface(), liba::to_wide(step.rest))) {
            fail(step.line, "cannot write " + step.rest);
            return false;
        }
    } else if (step.verb == "quit") {
        next_ = steps_.size();
        ended_ = true;
        post_quit_message(0);
        return false;
    }
    return true;
}

bool ScriptPlayer::condition_holds(const ScriptStep& step) const
{
    const std::string& what = step.words[1];
    // The text after "MS CONDITION ".
    const size_t at = step.rest.find(what);
    const std::u16string text = liba::to_wide(step.rest.substr(at + what.size() + 1));
    if (what == "title")
        return window_text(root_window(active_window())) == text;
    if (what == "window") {
        for (const WindowHandle window : top_level_windows())
            if (is_window_visible(window) && window_text(window) == text)
                return true;
        return false;
    }
    if (what == "messagebox") {
        for (const auto& box : shown_message_boxes())
            if (box.text.find(text) != std::u16string::npos)
                return true;
        return false;
    }
    const std::uint32_t wanted = std::stoul(step.words[4], nullptr, 16);
    return screen_surface().pixel(std::stoi(step.words[2]), std::stoi(step.words[3])) == wanted;
}

void ScriptPlayer::fail(int line, const std::string& why)
{
    std::fprintf(stderr, "script line %d: %s\n", line, why.c_str());
    failed_ = true;
    waiting_ = false;
    next_ = steps_.size();
    ended_ = true;
    post_quit_message(1);
}

} // namespace platform
