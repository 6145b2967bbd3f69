#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/base/message_queue.h"

namespace platform {

// One step of a script. Scripts are plain text, one step a line ('#' starts a
// comment); coordinates are screen pixels, times milliseconds:
//   tap X Y | doubletap X Y | press X Y | move X Y | release X Y | hold X Y MS
//   key NAME | keydown NAME | keyup NAME     (Enter, Escape, Back, F1, F2, F11, Left, A, 7, ...)
//   type TEXT | wait MS | rotate | screenshot FILE | quit
//   wait-until MS title TEXT | window TEXT | pixel X Y RRGGBB | messagebox TEXT
struct ScriptStep {
    std::string verb;
    std::vector<std::string> words; // the arguments, split at spaces
    std::string rest; // everything after the verb (texts, file names)
    int line = 0;
};

// Reads a script; false with a message naming the line when a step is malformed.
bool parse_script(const std::string& text, std::vector<ScriptStep>& steps, std::string& error);
// The same from a file; the message names the file.
bool read_script_file(const std::string& path, std::vector<ScriptStep>& steps, std::string& error);

// Plays a script as the thread's input, over any back end, which goes on showing the
// screen and delivering its own events. Steps run only while the program waits with
// nothing to do, so each sees the effects of the one before; keys and the pointer
// take the same way as the back end's (platform/input.h). On a test clock a wait
// moves the clock instead of sleeping.
class ScriptPlayer : public EventSource {
public:
    enum class AtEnd {
        quit, // a program's script: its end quits (exit code 0)
        stay, // a test's: the test goes on after it, and a loop still waiting fails
    };

    // Takes over the thread's input from the screen's back end until destroyed.
    ScriptPlayer(std::vector<ScriptStep> steps, EventSource& screen, AtEnd at_end);
    ~ScriptPlayer() override;

    void append(std::vector<ScriptStep> steps);
    // Runs once when the steps that were there have all run (AtEnd::stay): a test's way
    // to end the loop its script was playing in.
    void when_done(std::function<void()> action) { when_done_ = std::move(action); }
    bool finished() const { return next_ >= steps_.size(); }
    // A wait-until timed out, a screenshot could not be written, or (AtEnd::stay) a
    // loop waited for input after the last step; the reason went to standard error
    // and quit (exit code 1) was posted.
    bool failed() const { return failed_; }

    // Runs the next step, or the part of a wait up to limit (the test clock moves to
    // it). Answers when to look again.
    Clock::time_point play(Clock::time_point limit);

    void wait(Clock::time_point deadline) override;
    void wake() override { screen_.wake(); }

private:
    Clock::time_point play_wait(const ScriptStep& step, Clock::time_point limit);
    bool run_step(const ScriptStep& step);
    bool condition_holds(const ScriptStep& step) const;
    void fail(int line, const std::string& why);

    std::vector<ScriptStep> steps_;
    size_t next_ = 0;
    EventSource& screen_;
    const AtEnd at_end_;
    Clock::time_point resume_at_{};
    bool waiting_ = false;
    bool playing_ = false;
    bool ended_ = false;
    bool failed_ = false;
    std::function<void()> when_done_;
};

} // namespace platform
