#pragma once

#include <string>

#include "skinner/core/control.h"
#include "skinner/menu/menu_item.h"

namespace skinner {

// A command of the form's menu: an invisible control without skin properties that is
// an entry of the form's menu list while it is shown. Choosing it sends its id as the
// command (Listener::on_command), which goes up to the form.
class MenuMainButton : public Control, public MenuItem {
public:
    // text: the entry's text when the language has none for the id (empty: no text);
    // order: its place among the menu's items; placement: which soft key shows it
    // (empty: the id decides, which places it on the right key).
    MenuMainButton(Container& container, std::u16string_view id, std::u16string_view text, int order = 0,
        std::u16string_view placement = u"");
    ~MenuMainButton() override;

    bool wants_focus() const override { return false; }
    bool hit_test(Point) const override { return false; }
    void draw(CanvasImpl&, Point, Point) override { }
    void on_shown(bool shown) override;
    void on_enabled(bool) override;
    void reload_properties() override;

    MenuItemDescription describe() const override;
    std::u16string placement() const override;
    int order_key() const override { return z_order(); }

    void set_text(std::u16string_view text);
    void set_checked(bool checked);
    void set_separator_after(bool separator_after);
    const std::u16string& text() const { return text_; }
    bool checked() const { return checked_; }

private:
    void translate_text();
    void refresh();

    std::u16string default_text_;
    std::u16string text_;
    std::u16string placement_;
    bool separator_after_ = false;
    bool checked_ = false;
    int image_ = -1;
    bool listed_ = false;
};

} // namespace skinner
