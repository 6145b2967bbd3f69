#include "skinner/core/control_subclass.h"

#include <algorithm>
#include <vector>

#include "platform/window.h"

namespace skinner {

// The handlers on one window and the procedure they sit in front of. The chain lives
// in the window's procedure, so it goes away with the window.
struct ControlSubclass::Chain {
    platform::WindowProcedure own_procedure;
    std::vector<ControlSubclass*> subclasses; // in attach order

    bool holds(const ControlSubclass* subclass) const
    {
        return std::find(subclasses.begin(), subclasses.end(), subclass) != subclasses.end();
    }
};

namespace {

struct ChainProcedure {
    std::shared_ptr<ControlSubclass::Chain> chain;

    std::intptr_t operator()(const platform::Message& message) const;
};

} // namespace

// Handlers run last attached first; any of them may attach, detach or destroy the
// window while it runs, so the chain is read afresh for each.
std::intptr_t ChainProcedure::operator()(const platform::Message& message) const
{
    const std::shared_ptr<ControlSubclass::Chain> keep = chain;
    const platform::WindowProcedure own_procedure = keep->own_procedure;
    const std::vector<ControlSubclass*> subclasses = keep->subclasses;

    bool kept = false;
    std::intptr_t result = 0;
    for (auto it = subclasses.rbegin(); it != subclasses.rend(); ++it) {
        if (!keep->holds(*it))
            continue;
        bool pass_on = true;
        const std::intptr_t answer = (*it)->handle_message(message, pass_on);
        if (!pass_on) {
            kept = true;
            result = answer;
        }
    }
    if (!kept && own_procedure)
        result = own_procedure(message);

    if (message.message == platform::messages::destroy) {
        for (ControlSubclass* subclass : std::vector<ControlSubclass*>(keep->subclasses))
            subclass->detach();
    }
    return result;
}

ControlSubclass::~ControlSubclass() { detach(); }

std::intptr_t ControlSubclass::handle_message(const platform::Message&, bool&) { return 0; }

void ControlSubclass::attach(platform::WindowHandle window)
{
    detach();
    if (!platform::is_window(window))
        return;
    const platform::WindowProcedure current = platform::window_procedure(window);
    if (const auto* installed = current.target<ChainProcedure>()) {
        chain_ = installed->chain;
    } else {
        chain_ = std::make_shared<Chain>(Chain{current, {}});
        platform::set_window_procedure(window, ChainProcedure{chain_});
    }
    chain_->subclasses.push_back(this);
    window_ = window;
}

void ControlSubclass::detach()
{
    if (!chain_)
        return;
    std::erase(chain_->subclasses, this);
    if (chain_->subclasses.empty()) {
        const platform::WindowProcedure current = platform::window_procedure(window_);
        const auto* installed = current.target<ChainProcedure>();
        if (installed && installed->chain == chain_)
            platform::set_window_procedure(window_, chain_->own_procedure);
    }
    chain_.reset();
    window_ = platform::no_window;
}

} // namespace skinner
