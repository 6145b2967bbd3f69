#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "platform/backend.h"
#include "platform/base/geometry.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Cursor;

namespace platform::sdl {

// The hand-held's screen as a desktop window, zoom times the screen's size, which
// follows the screen when it rotates. The mouse's left button is the stylus, the
// keyboard gives virtual keys and text (input-method results included). Only the
// changed parts of the screen are uploaded.
class ScreenBackend : public Backend {
public:
    ScreenBackend() = default;
    ~ScreenBackend() override;

    // Opens the window and makes itself the calling (UI) thread's input; false, with
    // the reason on standard error, when there is no display.
    bool start(const char* title, int zoom);

    void wait(Clock::time_point deadline) override;
    void wake() override;

private:
    void present();
    void handle_event(const void* event);
    bool fit_to_screen();
    void show_cursor(int cursor);

    int zoom_ = 1;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    Size texture_size_;
    std::uint32_t wake_event_ = 0;
    int shown_cursor_ = 0;
    std::map<int, SDL_Cursor*> cursors_;
};

std::unique_ptr<Backend> open_screen_backend(const BackendOptions& options);

} // namespace platform::sdl
