#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/window.h"

// Test windows and helpers shared by the platform tests.
namespace platform_test {

using namespace platform;

// Top-level or child window that writes down what its procedure receives.
class Probe {
public:
    explicit Probe(Rect rect, WindowHandle parent = no_window, std::uint32_t style = styles::visible,
        WindowHandle owner = no_window)
    {
        WindowSpec spec;
        spec.class_name = u"Probe";
        spec.style = style | (parent != no_window ? styles::child : 0);
        spec.rect = rect;
        spec.parent = parent;
        spec.owner = owner;
        spec.procedure = [this](const Message& m) {
            seen.push_back(m);
            if (on_message)
                on_message(m);
            return default_window_procedure(m);
        };
        handle = create_window(spec);
    }
    ~Probe() { destroy_window(handle); }

    std::vector<Message> of(std::uint32_t number) const
    {
        std::vector<Message> result;
        for (const auto& m : seen)
            if (m.message == number)
                result.push_back(m);
        return result;
    }

    WindowHandle handle = no_window;
    std::vector<Message> seen;
    std::function<void(const Message&)> on_message;
};

inline void drain()
{
    Message m;
    while (peek_message(m))
        dispatch(m);
}

} // namespace platform_test
