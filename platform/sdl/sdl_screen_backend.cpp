#include "platform/sdl/sdl_screen_backend.h"

#include <SDL.h>

#include <cstdio>
#include <map>

#include "liba/text.h"
#include "platform/base/keys.h"
#include "platform/input.h"
#include "platform/screen.h"
#include "platform/shell.h"
#include "platform/window.h"

namespace platform::sdl {

namespace {

std::uint32_t virtual_key(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z)
        return static_cast<std::uint32_t>('A' + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9)
        return static_cast<std::uint32_t>('0' + (key - SDLK_0));
    static const std::map<SDL_Keycode, std::uint32_t> table{
        {SDLK_F1, keys::f1}, {SDLK_F2, keys::f2}, {SDLK_F11, keys::f11}, {SDLK_ESCAPE, keys::escape},
        {SDLK_BACKSPACE, keys::backspace}, {SDLK_TAB, keys::tab}, {SDLK_RETURN, keys::enter},
        {SDLK_KP_ENTER, keys::enter}, {SDLK_LSHIFT, keys::shift}, {SDLK_RSHIFT, keys::shift},
        {SDLK_LCTRL, keys::control}, {SDLK_RCTRL, keys::control}, {SDLK_LALT, keys::alt}, {SDLK_RALT, keys::alt},
        {SDLK_SPACE, keys::space}, {SDLK_PAGEUP, keys::page_up}, {SDLK_PAGEDOWN, keys::page_down},
        {SDLK_END, keys::end}, {SDLK_HOME, keys::home}, {SDLK_LEFT, keys::left}, {SDLK_UP, keys::up},
        {SDLK_RIGHT, keys::right}, {SDLK_DOWN, keys::down}, {SDLK_INSERT, keys::insert},
        {SDLK_DELETE, keys::del}, {SDLK_APPLICATION, keys::applications},
    };
    const auto found = table.find(key);
    return found == table.end() ? 0 : found->second;
}

SDL_SystemCursor system_cursor(int cursor)
{
    switch (cursor) {
    case cursors::ibeam: return SDL_SYSTEM_CURSOR_IBEAM;
    case cursors::wait: return SDL_SYSTEM_CURSOR_WAIT;
    case cursors::app_starting: return SDL_SYSTEM_CURSOR_WAITARROW;
    case cursors::size_nwse: return SDL_SYSTEM_CURSOR_SIZENWSE;
    case cursors::size_nesw: return SDL_SYSTEM_CURSOR_SIZENESW;
    case cursors::size_we: return SDL_SYSTEM_CURSOR_SIZEWE;
    case cursors::size_ns: return SDL_SYSTEM_CURSOR_SIZENS;
    case cursors::size_all: return SDL_SYSTEM_CURSOR_SIZEALL;
    case cursors::no: return SDL_SYSTEM_CURSOR_NO;
    case cursors::hand: return SDL_SYSTEM_CURSOR_HAND;
    default: return SDL_SYSTEM_CURSOR_ARROW;
    }
}

int show_message_box(const MessageBoxRequest& request)
{
    const std::string caption = liba::to_narrow(request.caption);
    const std::string text = liba::to_narrow(request.text);
    std::vector<SDL_MessageBoxButtonData> buttons;
    switch (request.buttons) {
    case MessageBoxButtons::ok:
        buttons = {{SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, answer_ok, "OK"}};
        break;
    case MessageBoxButtons::ok_cancel:
        buttons = {{SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, answer_ok, "OK"},
            {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, answer_cancel, "Cancel"}};
        break;
    case MessageBoxButtons::yes_no:
        buttons = {{SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, answer_yes, "Yes"},
            {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, answer_no, "No"}};
        break;
    }
    const SDL_MessageBoxData data{SDL_MESSAGEBOX_INFORMATION, nullptr, caption.c_str(), text.c_str(),
        static_cast<int>(buttons.size()), buttons.data(), nullptr};
    int chosen = buttons.front().buttonid;
    if (SDL_ShowMessageBox(&data, &chosen) != 0) {
        std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
        return buttons.front().buttonid;
    }
    return chosen < 0 ? buttons.back().buttonid : chosen;
}

// The program's main window: the first top-level window without an owner.
WindowHandle main_window()
{
    for (const WindowHandle window : top_level_windows())
        if (owner_window(window) == no_window && is_window_visible(window))
            return window;
    return no_window;
}

} // namespace

ScreenBackend::~ScreenBackend()
{
    if (!window_)
        return;
    MessageQueue::current()->set_event_source(nullptr);
    set_message_box_presenter(nullptr);
    set_clipboard_bridge({});
    for (const auto& [id, cursor] : cursors_)
        SDL_FreeCursor(cursor);
    if (texture_)
        SDL_DestroyTexture(texture_);
    SDL_DestroyRenderer(renderer_);
    SDL_DestroyWindow(window_);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool ScreenBackend::start(const char* title, int zoom)
{
    zoom_ = std::max(zoom, 1);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "no display: %s\n", SDL_GetError());
        return false;
    }
    const Size size = screen_size();
    window_ = SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, size.width * zoom_,
        size.height * zoom_, SDL_WINDOW_SHOWN);
    if (window_)
        renderer_ = SDL_CreateRenderer(window_, -1, 0);
    if (!renderer_ || !fit_to_screen()) {
        std::fprintf(stderr, "cannot open the screen window: %s\n", SDL_GetError());
        return false;
    }
    wake_event_ = SDL_RegisterEvents(1);
    SDL_StartTextInput();
    set_message_box_presenter(show_message_box);
    set_clipboard_bridge({
        [](std::u16string_view text) { SDL_SetClipboardText(liba::to_narrow(text).c_str()); },
        [] {
            char* text = SDL_GetClipboardText();
            std::u16string wide = text ? liba::to_wide(text) : std::u16string();
            SDL_free(text);
            return wide;
        },
    });
    MessageQueue::current()->set_event_source(this);
    screen_damaged({0, 0, size.width, size.height});
    return true;
}

// Makes the window and its texture the screen's size (it changes when it rotates).
bool ScreenBackend::fit_to_screen()
{
    const Size size = screen_size();
    if (texture_ && texture_size_ == size)
        return true;
    if (texture_) {
        SDL_DestroyTexture(texture_);
        SDL_SetWindowSize(window_, size.width * zoom_, size.height * zoom_);
    }
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, size.width, size.height);
    texture_size_ = size;
    SDL_RenderSetLogicalSize(renderer_, size.width, size.height);
    screen_damaged({0, 0, size.width, size.height});
    return texture_ != nullptr;
}

void ScreenBackend::wake()
{
    SDL_Event event{};
    event.type = wake_event_;
    SDL_PushEvent(&event);
}

void ScreenBackend::present()
{
    if (!fit_to_screen())
        return;
    const Rect damage = take_screen_damage();
    if (!damage.empty()) {
        const Surface& screen = screen_surface();
        const SDL_Rect area{damage.x, damage.y, damage.width, damage.height};
        SDL_UpdateTexture(texture_, &area, screen.row(damage.y) + damage.x,
            screen.width() * static_cast<int>(sizeof(std::uint32_t)));
        SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
        SDL_RenderPresent(renderer_);
    }
    show_cursor(current_cursor());
}

void ScreenBackend::show_cursor(int cursor)
{
    if (cursor == shown_cursor_)
        return;
    shown_cursor_ = cursor;
    SDL_Cursor*& loaded = cursors_[cursor];
    if (!loaded)
        loaded = SDL_CreateSystemCursor(system_cursor(cursor));
    SDL_SetCursor(loaded);
}

void ScreenBackend::wait(Clock::time_point deadline)
{
    present();
    if (take_raise_request())
        SDL_RaiseWindow(window_);
    const auto current = now();
    int timeout = 0;
    if (deadline > current) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - current).count();
        timeout = static_cast<int>(std::min<long long>(left + 1, 1000 * 60));
    }
    SDL_Event event;
    if (!SDL_WaitEventTimeout(&event, timeout))
        return;
    do
        handle_event(&event);
    while (SDL_PollEvent(&event));
}

void ScreenBackend::handle_event(const void* raw)
{
    const SDL_Event& event = *static_cast<const SDL_Event*>(raw);
    const auto at = [this](int x, int y) { return Point{x / zoom_, y / zoom_}; };
    switch (event.type) {
    case SDL_QUIT:
        if (const WindowHandle main = main_window())
            post_message(main, messages::close);
        else
            post_quit_message(0);
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_EXPOSED) {
            const Size size = screen_size();
            screen_damaged({0, 0, size.width, size.height});
        }
        break;
    case SDL_MOUSEMOTION:
        input_pointer(messages::mouse_move, at(event.motion.x, event.motion.y));
        break;
    case SDL_MOUSEBUTTONDOWN:
        if (event.button.button == SDL_BUTTON_LEFT)
            input_pointer(event.button.clicks == 2 ? messages::left_double_click : messages::left_down,
                at(event.button.x, event.button.y));
        break;
    case SDL_MOUSEBUTTONUP:
        if (event.button.button == SDL_BUTTON_LEFT)
            input_pointer(messages::left_up, at(event.button.x, event.button.y));
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        if (const std::uint32_t key = virtual_key(event.key.keysym.sym))
            input_key(key, event.type == SDL_KEYDOWN, event.key.repeat != 0);
        break;
    case SDL_TEXTINPUT:
        input_text(liba::to_wide(event.text.text));
        break;
    default:
        break;
    }
}

std::unique_ptr<Backend> open_screen_backend(const BackendOptions& options)
{
    auto backend = std::make_unique<ScreenBackend>();
    if (!backend->start(options.title.c_str(), options.zoom))
        return nullptr;
    return backend;
}

} // namespace platform::sdl
