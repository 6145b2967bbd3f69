#include "platform/headless/headless_backend.h"

#include <cstdio>
#include <map>
#include <sstream>

#include "liba/text.h"
#include "platform/base/keys.h"
#include "platform/png_writer.h"
#include "platform/screen.h"
#include "platform/shell.h"
#include "platform/window.h"

namespace platform::headless {

namespace {

// How many arguments each verb takes (-1: a free text).
const std::map<std::string, int>& verbs()
{
    static const std::map<std::string, int> table{
        {"tap", 2}, {"press", 2}, {"move", 2}, {"release", 2}, {"hold", 3}, {"key", 1}, {"keydown", 1},
        {"keyup", 1}, {"type", -1}, {"wait", 1}, {"rotate", 0}, {"screenshot", -1}, {"quit", 0},
        {"wait-until", -1},
    };
    return table;
}

int key_code(const std::string& name)
{
    static const std::map<std::string, std::uint32_t> named{
        {"Backspace", keys::backspace}, {"Tab", keys::tab}, {"Enter", keys::enter}, {"Shift", keys::shift},
        {"Ctrl", keys::control}, {"Alt", keys::alt}, {"Escape", keys::escape}, {"Space", keys::space},
        {"PageUp", keys::page_up}, {"PageDown", keys::page_down}, {"End", keys::end}, {"Home", keys::home},
        {"Left", keys::left}, {"Up", keys::up}, {"Right", keys::right}, {"Down", keys::down},
        {"Insert", keys::insert}, {"Delete", keys::del}, {"Apps", keys::applications},
        {"F1", keys::f1}, {"F2", keys::f2}, {"F11", keys::f11}, {"Back", keys::escape},
    };
    const auto found = named.find(name);
    if (found != named.end())
        return static_cast<int>(found->second);
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
        return std::toupper(static_cast<unsigned char>(name[0]));
    return -1;
}

bool is_number(const std::string& word)
{
    if (word.empty())
        return false;
    for (size_t i = word[0] == '-' ? 1 : 0; i < word.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(word[i])))
            return false;
    return word != "-";
}

Point point_of(const ScriptStep& step)
{
    return {std::stoi(step.words[0]), std::stoi(step.words[1])};
}

// Keys go through the shell where the hand-held has special keys.
void send_key(const ScriptStep& step, bool down, bool up)
{
    const std::string& name = step.words[0];
    const auto code = static_cast<std::uint32_t>(key_code(name));
    if (name == "F1" || name == "F2") {
        if (down)
            press_soft_key(name == "F1" ? 0 : 1);
    } else if (name == "F11") {
        if (down)
            rotate_screen();
    } else if (name == "Escape" || name == "Back") {
        if (down)
            press_back_key(false);
        if (up)
            press_back_key(true);
    } else {
        if (down)
            deliver_key(messages::key_down, code);
        if (up)
            deliver_key(messages::key_up, code);
    }
}

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
            if (what == "pixel" && (step.words.size() != 5 || !is_number(step.words[2]) || !is_number(step.words[3]) ||
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

Backend::Backend(std::vector<ScriptStep> steps) : steps_(std::move(steps))
{
    MessageQueue::current()->set_event_source(this);
}

Backend::~Backend()
{
    MessageQueue::current()->set_event_source(nullptr);
}

void Backend::wake()
{
    std::lock_guard lock(mutex_);
    wake_requested_ = true;
    woken_.notify_all();
}

void Backend::wait(Clock::time_point deadline)
{
    const auto now = Clock::now();
    // Steps run only while the program is idle, so each sees the last one's effects.
    Clock::time_point look_again = Clock::time_point::max();
    if (deadline > now && !running_) {
        running_ = true;
        look_again = run_steps(now);
        running_ = false;
    }
    std::unique_lock lock(mutex_);
    woken_.wait_until(lock, std::min(deadline, look_again), [this] { return wake_requested_; });
    wake_requested_ = false;
}

Clock::time_point Backend::run_steps(Clock::time_point now)
{
    if (finished_)
        return Clock::time_point::max();
    while (next_ < steps_.size()) {
        const ScriptStep& step = steps_[next_];
        if (step.verb == "wait" || step.verb == "wait-until") {
            if (!waiting_) {
                waiting_ = true;
                resume_at_ = now + std::chrono::milliseconds(std::stoi(step.words[0]));
            }
            if (step.verb == "wait-until" && condition_holds(step)) {
                waiting_ = false;
                ++next_;
                continue;
            }
            if (now < resume_at_)
                return step.verb == "wait" ? resume_at_ : std::min(resume_at_, now + std::chrono::milliseconds(10));
            waiting_ = false;
            if (step.verb == "wait-until") {
                fail(step, "timed out waiting until " + step.rest);
                return Clock::time_point::max();
            }
            ++next_;
            continue;
        }
        ++next_;
        if (!run_step(step))
            return Clock::time_point::max();
        // Let the program take the step's input before the next one.
        return now;
    }
    finished_ = true;
    post_quit_message(0);
    return Clock::time_point::max();
}

bool Backend::run_step(ScriptStep step)
{
    if (step.verb == "tap") {
        deliver_pointer(messages::left_down, point_of(step));
        deliver_pointer(messages::left_up, point_of(step));
    } else if (step.verb == "press") {
        deliver_pointer(messages::left_down, point_of(step));
    } else if (step.verb == "move") {
        deliver_pointer(messages::mouse_move, point_of(step));
    } else if (step.verb == "release") {
        deliver_pointer(messages::left_up, point_of(step));
    } else if (step.verb == "hold") {
        // Unfolds into press, wait and release.
        deliver_pointer(messages::left_down, point_of(step));
        ScriptStep wait = step;
        wait.verb = "wait";
        wait.words = {step.words[2]};
        ScriptStep release = step;
        release.verb = "release";
        steps_.insert(steps_.begin() + static_cast<std::ptrdiff_t>(next_), {wait, release});
    } else if (step.verb == "key") {
        send_key(step, true, true);
    } else if (step.verb == "keydown") {
        send_key(step, true, false);
    } else if (step.verb == "keyup") {
        send_key(step, false, true);
    } else if (step.verb == "type") {
        for (const char16_t unit : liba::to_wide(step.rest))
            deliver_key(messages::character, unit);
    } else if (step.verb == "rotate") {
        rotate_screen();
    } else if (step.verb == "screenshot") {
        if (!write_png(screen_surface(), liba::to_wide(step.rest))) {
            fail(step, "cannot write " + step.rest);
            return false;
        }
    } else if (step.verb == "quit") {
        finished_ = true;
        post_quit_message(0);
        return false;
    }
    return true;
}

bool Backend::condition_holds(const ScriptStep& step) const
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

void Backend::fail(const ScriptStep& step, const std::string& why)
{
    std::fprintf(stderr, "script line %d: %s\n", step.line, why.c_str());
    failed_ = true;
    finished_ = true;
    post_quit_message(1);
}

} // namespace platform::headless
