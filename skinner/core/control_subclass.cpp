#include "skinner/core/control_subclass.h"

#include <algorithm>
#include <map>
#include <vector>

#include "platform/window.h"

namespace skinner {

namespace {

struct SubclassedWindow {
    platform::WindowProcedure own_procedure;
    std::vector<ControlSubclass*> subclasses; // in attach order
};

// The windows with subclasses attached; user-interface thread only.
std::map<platform::WindowHandle, SubclassedWindow>& subclass_table()
{
    static std::map<platform::WindowHandle, SubclassedWindow> table;
    return table;
}

bool is_attached(platform::WindowHandle window, const ControlSubclass* subclass)
{
    const auto& table = subclass_table();
    const auto entry = table.find(window);
    return entry != table.end() &&
           std::find(entry->second.subclasses.begin(), entry->second.subclasses.end(), subclass) !=
               entry->second.subclasses.end();
}

std::intptr_t dispatch_to_subclasses(const platform::Message& message)
{
    auto& table = subclass_table();
    const auto entry = table.find(message.window);
    if (entry == table.end())
        return 0;
    // Copies: handlers may attach, detach or destroy the window while they run.
    const platform::WindowProcedure own_procedure = entry->second.own_procedure;
    const std::vector<ControlSubclass*> subclasses = entry->second.subclasses;

    bool kept = false;
    std::intptr_t result = 0;
    for (auto it = subclasses.rbegin(); it != subclasses.rend(); ++it) {
        if (!is_attached(message.window, *it))
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
        const auto still = table.find(message.window);
        if (still != table.end()) {
            for (ControlSubclass* subclass : std::vector<ControlSubclass*>(still->second.subclasses))
                subclass->detach();
        }
    }
    return result;
}

} // namespace

ControlSubclass::~ControlSubclass()
{
    detach();
}

std::intptr_t ControlSubclass::handle_message(const platform::Message&, bool&)
{
    return 0;
}

void ControlSubclass::attach(platform::WindowHandle window)
{
    detach();
    if (!platform::is_window(window))
        return;
    window_ = window;
    auto& table = subclass_table();
    auto entry = table.find(window);
    if (entry == table.end()) {
        entry = table.emplace(window, SubclassedWindow{platform::window_procedure(window), {}}).first;
        platform::set_window_procedure(window, dispatch_to_subclasses);
    }
    entry->second.subclasses.push_back(this);
}

void ControlSubclass::detach()
{
    if (window_ == platform::no_window)
        return;
    auto& table = subclass_table();
    const auto entry = table.find(window_);
    if (entry != table.end()) {
        std::erase(entry->second.subclasses, this);
        if (entry->second.subclasses.empty()) {
            platform::set_window_procedure(window_, entry->second.own_procedure);
            table.erase(entry);
        }
    }
    window_ = platform::no_window;
}

} // namespace skinner
