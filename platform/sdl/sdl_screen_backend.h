#pragma once

#include <cstdint>

#include "platform/base/message_queue.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

namespace platform::sdl {

// The hand-held's screen as a desktop window, zoom times the screen's size. Mouse
// left button is the stylus, the keyboard gives virtual keys and text (input-method
// results included), F1 and F2 are the soft keys, Escape is Back and F11 rotates.
// Only the changed parts of the screen are uploaded.
class ScreenBackend : public EventSource {
public:
    ScreenBackend() = default;
    ~ScreenBackend() override;

    // Opens the window and installs itself on the calling (UI) thread; false, with
    // the reason on standard error, when there is no display.
    bool start(const char* title, int zoom);

    void wait(Clock::time_point deadline) override;
    void wake() override;

private:
    void present();
    void handle_event(const void* event);
    bool make_texture();

    int zoom_ = 1;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    std::uint32_t wake_event_ = 0;
    int shown_cursor_ = 0;
};

} // namespace platform::sdl
