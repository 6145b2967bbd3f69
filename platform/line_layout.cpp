#include "platform/line_layout.h"

#include "platform/font.h"

namespace platform {

size_t LineLayout::index_at(int offset) const
{
    if (offset < 0)
        return 0;
    for (size_t k = 0; k + 1 < boundaries.size(); ++k) {
        const size_t i = boundaries[k];
        if (offset < (x[i] + x[boundaries[k + 1]]) / 2)
            return i;
    }
    return boundaries.back();
}

std::u16string_view LineLayout::shown_between(size_t from, size_t to) const
{
    return std::u16string_view(shown).substr(shown_index[from], shown_index[to] - shown_index[from]);
}

LineLayout lay_out_line(const Font* font, const liba::LineEdit& edit, char16_t password_char)
{
    const std::u16string& text = edit.text();
    LineLayout layout;
    layout.shown_index.assign(text.size() + 1, 0);
    layout.boundaries.push_back(0);
    for (size_t i = 0; i < text.size();) {
        const size_t next = edit.next_boundary(i);
        if (password_char)
            layout.shown += password_char;
        else
            layout.shown.append(text, i, next - i);
        for (size_t k = i + 1; k <= next; ++k)
            layout.shown_index[k] = layout.shown.size();
        layout.boundaries.push_back(next);
        i = next;
    }
    const std::vector<int> widths = font ? font->prefix_widths(layout.shown) : std::vector<int>(layout.shown.size());
    layout.x.resize(text.size() + 1);
    for (size_t i = 0; i <= text.size(); ++i)
        layout.x[i] = layout.shown_index[i] == 0 ? 0 : widths[layout.shown_index[i] - 1];
    return layout;
}

} // namespace platform
