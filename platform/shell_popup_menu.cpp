#include <algorithm>
#include <memory>

#include "platform/font.h"
#include "platform/base/keys.h"
#include "platform/screen.h"
#include "platform/shell.h"
#include "platform/window.h"

namespace platform {

namespace {

constexpr Colour menu_colour{255, 255, 255};
constexpr Colour menu_border_colour{0, 0, 0};
constexpr Colour menu_text_colour{0, 0, 0};
constexpr Colour menu_grey_colour{150, 150, 150};
constexpr Colour highlight_colour{16, 64, 160};
constexpr Colour highlight_text_colour{255, 255, 255};
constexpr int separator_height = 7;
constexpr int margin = 20; // room for the check mark at the left and the arrow at the right

// One pop-up menu on the screen, operated by its own nested message loop.
class PopupMenu {
public:
    PopupMenu(const std::vector<PopupItem>& items, Point at, WindowHandle owner)
        : items_(items), font_(Font::create({-std::max(bar_height() * 2 / 5, 12), 400, false, false, u"Tahoma"}))
    {
        if (!font_)
            font_ = Font::stock();
        item_height_ = (font_ ? font_->metrics().height : 16) + 10;
        const Size size = measure();
        const Size screen = screen_size();
        Point place = at;
        if (place.y + size.height > screen.height)
            place.y = std::max(0, place.y - size.height);
        place.x = std::clamp(place.x, 0, std::max(0, screen.width - size.width));
        place.y = std::clamp(place.y, 0, std::max(0, screen.height - size.height));

        WindowSpec spec;
        spec.class_name = u"#PopupMenu";
        spec.style = styles::popup | styles::visible;
        spec.rect = {place.x, place.y, size.width, size.height};
        spec.owner = owner;
        spec.procedure = [this](const Message& m) -> std::intptr_t {
            if (m.message == messages::paint) {
                paint();
                return 0;
            }
            return default_window_procedure(m);
        };
        window_ = create_window(spec);
    }

    ~PopupMenu()
    {
        release_capture();
        destroy_window(window_);
    }

    std::uint32_t track()
    {
        if (window_ == no_window)
            return 0;
        bring_to_top(window_);
        set_capture(window_);
        Message m;
        while (!done_ && get_message(m)) {
            if (m.message == messages::key_down)
                on_key(static_cast<std::uint32_t>(m.wparam));
            else if (m.message >= messages::mouse_move && m.message <= messages::right_up)
                on_pointer(m);
            else if (!messages::is_input(m.message))
                dispatch(m);
            if (capture_window() != window_ && !done_)
                done_ = true; // someone else took the pointer: the menu gives up
        }
        return chosen_;
    }

private:
    Size measure() const
    {
        int width = 60;
        int height = 2;
        for (const auto& item : items_) {
            const int text = font_ ? font_->text_extent(label(item)).width : 0;
            width = std::max(width, text + 2 * margin + 2);
            height += row_height(item);
        }
        return {width, height};
    }

    int row_height(const PopupItem& item) const { return item_height_ + (item.separator_after ? separator_height : 0); }

    static std::u16string label(const PopupItem& item)
    {
        return item.shortcut.empty() ? item.text : item.text + u"   " + item.shortcut;
    }

    Rect row(int index) const
    {
        int y = 1;
        for (int i = 0; i < index; ++i)
            y += row_height(items_[i]);
        return {1, y, window_rect(window_).width - 2, item_height_};
    }

    int item_at(Point client) const
    {
        for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
            if (row(i).contains(client))
                return i;
        }
        return -1;
    }

    void paint()
    {
        PaintSession session(window_);
        DeviceContext& dc = session.context();
        const Rect all{0, 0, window_rect(window_).width, window_rect(window_).height};
        dc.fill(all, menu_border_colour);
        dc.fill({1, 1, all.width - 2, all.height - 2}, menu_colour);
        for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
            const PopupItem& item = items_[i];
            const Rect r = row(i);
            const bool lit = i == highlighted_ && item.enabled;
            if (lit)
                dc.fill(r, highlight_colour);
            const Colour ink = !item.enabled ? menu_grey_colour : lit ? highlight_text_colour : menu_text_colour;
            if (!font_)
                continue;
            const int text_y = r.y + (r.height - font_->metrics().height) / 2;
            if (item.checked)
                dc.draw_text(*font_, {r.x + 4, text_y}, u"\u2713", ink);
            dc.draw_text(*font_, {r.x + margin, text_y}, item.text, ink);
            if (!item.shortcut.empty()) {
                const int w = font_->text_extent(item.shortcut).width;
                dc.draw_text(*font_, {r.right() - margin - w, text_y}, item.shortcut, ink);
            }
            if (!item.items.empty())
                dc.draw_text(*font_, {r.right() - margin + 6, text_y}, u"\u25B8", ink);
            if (item.separator_after)
                dc.fill({r.x + 4, r.bottom() + separator_height / 2, r.width - 8, 1}, menu_grey_colour);
        }
    }

    void highlight(int index)
    {
        if (index == highlighted_)
            return;
        highlighted_ = index;
        invalidate(window_);
    }

    void choose(int index)
    {
        if (index < 0 || !items_[index].enabled)
            return;
        const PopupItem& item = items_[index];
        if (item.items.empty()) {
            chosen_ = item.command;
            done_ = true;
            return;
        }
        const Rect r = row(index);
        const Rect on_screen = screen_rect(window_);
        const std::uint32_t command = track_popup_menu(item.items, {on_screen.right() - 4, on_screen.y + r.y}, window_);
        set_capture(window_);
        if (command != 0) {
            chosen_ = command;
            done_ = true;
        }
    }

    void on_key(std::uint32_t key)
    {
        const int count = static_cast<int>(items_.size());
        if (count == 0 || key == keys::escape || key == keys::left) {
            done_ = true;
            return;
        }
        if (key == keys::down || key == keys::up) {
            const int step = key == keys::down ? 1 : count - 1;
            int next = highlighted_ < 0 ? (key == keys::down ? 0 : count - 1) : (highlighted_ + step) % count;
            for (int tries = 0; tries < count && !items_[next].enabled; ++tries)
                next = (next + step) % count;
            highlight(next);
        } else if (key == keys::enter || key == keys::space || (key == keys::right && highlighted_ >= 0 &&
                                                                   !items_[highlighted_].items.empty())) {
            choose(highlighted_);
        }
    }

    void on_pointer(const Message& m)
    {
        // The pointer may have reached another window before the capture was taken.
        const Rect from = screen_rect(m.window);
        const Point client = screen_to_client(window_, {from.x + point_param_x(m.lparam), from.y + point_param_y(m.lparam)});
        const bool inside = Rect{0, 0, window_rect(window_).width, window_rect(window_).height}.contains(client);
        switch (m.message) {
        case messages::mouse_move:
            highlight(inside ? item_at(client) : -1);
            break;
        case messages::left_down:
        case messages::left_double_click:
            if (!inside)
                done_ = true;
            else
                highlight(item_at(client));
            break;
        case messages::left_up:
            if (inside)
                choose(item_at(client));
            break;
        default:
            break;
        }
    }

    std::vector<PopupItem> items_;
    std::shared_ptr<Font> font_;
    int item_height_ = 16;
    WindowHandle window_ = no_window;
    int highlighted_ = -1;
    bool done_ = false;
    std::uint32_t chosen_ = 0;
};

} // namespace

std::uint32_t track_popup_menu(const std::vector<PopupItem>& items, Point at, WindowHandle owner)
{
    if (items.empty())
        return 0;
    PopupMenu menu(items, at, owner);
    return menu.track();
}

} // namespace platform
