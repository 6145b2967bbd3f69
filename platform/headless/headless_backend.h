#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "platform/base/message_queue.h"

namespace platform::headless {

// One step of a script. Scripts are plain text, one step a line ('#' starts a
// comment); coordinates are screen pixels, times milliseconds:
//   tap X Y | press X Y | move X Y | release X Y | hold X Y MS
//   key NAME | keydown NAME | keyup NAME     (Enter, Escape, Back, F1, F2, F11, Left, A, 7, ...)
//   type TEXT | wait MS | rotate | screenshot FILE | quit
//   wait-until MS title TEXT | window TEXT | pixel X Y RRGGBB | messagebox TEXT
struct ScriptStep {
    std::string verb;
    std::vector<std::string> words; // the arguments, split at spaces
    std::string rest;               // everything after the verb (texts, file names)
    int line = 0;
};

// Reads a script; false with a message naming the line when a step is malformed.
bool parse_script(const std::string& text, std::vector<ScriptStep>& steps, std::string& error);

// The back end without a display: the screen exists only in memory, input comes from
// a script, played whenever the program waits for messages. The script's end quits
// the program; a wait-until that times out quits it with exit code 1.
class Backend : public EventSource {
public:
    // Installs the back end on the calling thread, which must be the UI thread.
    explicit Backend(std::vector<ScriptStep> steps);
    ~Backend() override;

    bool failed() const { return failed_; }

    void wait(Clock::time_point deadline) override;
    void wake() override;

private:
    // Runs due steps; answers when to look again.
    Clock::time_point run_steps(Clock::time_point now);
    bool run_step(ScriptStep step);
    bool condition_holds(const ScriptStep& step) const;
    void fail(const ScriptStep& step, const std::string& why);

    std::vector<ScriptStep> steps_;
    size_t next_ = 0;
    Clock::time_point resume_at_{};
    bool waiting_ = false;
    bool running_ = false;
    bool finished_ = false;
    bool failed_ = false;

    std::mutex mutex_;
    std::condition_variable woken_;
    bool wake_requested_ = false;
};

} // namespace platform::headless
