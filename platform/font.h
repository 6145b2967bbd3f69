#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "liba/nocopy.h"
#include "platform/base/geometry.h"

namespace platform {

// What a font is asked for. A negative height is the character height in pixels (the
// em square), a positive one the cell height (ascent plus descent), zero the default.
struct FontSpec {
    int height = 0;
    int weight = 400;
    bool italic = false;
    bool underline = false;
    std::u16string face;
};

struct FontMetrics {
    int ascent = 0;
    int descent = 0;
    int height = 0; // ascent + descent: the height of every line of text
};

// Coverage levels (0 transparent to 255 solid) of one glyph or line, row by row.
struct Coverage {
    const uint8_t* levels = nullptr;
    int width = 0;
    int height = 0;
    int pitch = 0; // bytes from one row to the next; 0 repeats the first row
};

// A face at one pixel size, rendered by FreeType with anti-aliasing. Texts are
// UTF-16; a code unit is the unit of every position. Measuring and drawing may run on
// several threads at once: each font guards its face and glyph cache.
class Font : liba::Nocopy {
public:
    static constexpr int default_character_height = 16;

    // Null when no face can be found or opened.
    static std::shared_ptr<Font> create(const FontSpec& spec);
    // The process-wide font a context draws with when it is given none that works:
    // the default sans-serif face at the default height. Null only when no face exists.
    static std::shared_ptr<Font> stock();
    ~Font();

    const FontSpec& spec() const { return spec_; }
    const std::u16string& family() const { return family_; }
    int character_height() const { return character_height_; }
    const FontMetrics& metrics() const { return metrics_; }

    // Width of the text's advances and the font's line height; width 0 when empty.
    Size text_extent(std::u16string_view text) const;
    // For every code unit i, the width of the first i + 1 units.
    std::vector<int> prefix_widths(std::u16string_view text) const;

    // Hands every glyph of the text, then the underline, to paint with its top-left
    // corner relative to the top-left corner of the text cell. paint runs under the
    // font's lock and must not call back into the same font.
    void rasterize(std::u16string_view text,
        const std::function<void(const Coverage&, Point)>& paint) const;

private:
    struct Glyph {
        std::vector<uint8_t> levels;
        int width = 0;
        int height = 0;
        int left = 0;
        int top = 0;
        int advance = 0;
    };
    struct Face;

    Font(const FontSpec& spec, std::unique_ptr<Face> face);
    // Both expect lock_ held.
    const Glyph& glyph(char32_t code_point) const;
    template <typename Visit>
    int walk(std::u16string_view text, Visit visit) const;

    FontSpec spec_;
    std::u16string family_;
    int character_height_ = 0;
    FontMetrics metrics_;
    int underline_offset_ = 0; // below the top of the cell
    int underline_thickness_ = 1;

    mutable std::mutex lock_;
    std::unique_ptr<Face> face_;
    mutable std::unordered_map<char32_t, Glyph> glyphs_;
};

} // namespace platform
