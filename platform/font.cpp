#include "platform/font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cstdlib>

#include "platform/face_finder.h"

namespace platform {
namespace {

// Keeps glyph bitmaps of absurd requests from exhausting memory.
constexpr int max_character_height = 1000;

// FreeType's library object. Opening and closing faces must be serialised on it;
// faces themselves may be used on different threads. It lives until the process
// ends, so fonts held by process-wide caches can still close their faces at exit.
struct Library {
    FT_Library handle = nullptr;
    std::mutex lock;
};

Library& library()
{
    static Library* const instance = [] {
        auto* created = new Library;
        if (FT_Init_FreeType(&created->handle) != 0)
            created->handle = nullptr;
        return created;
    }();
    return *instance;
}

int round_div(long numerator, long denominator)
{
    return static_cast<int>((numerator + denominator / 2) / denominator);
}

} // namespace

struct Font::Face {
    FT_Face handle = nullptr;
    bool embolden = false;
    bool oblique = false;

    ~Face()
    {
        if (!handle)
            return;
        const std::lock_guard hold(library().lock);
        FT_Done_Face(handle);
    }
};

std::shared_ptr<Font> Font::create(const FontSpec& spec)
{
    const auto file = find_face(spec.face, spec.weight, spec.italic);
    if (!file)
        return nullptr;
    auto face = std::make_unique<Face>();
    {
        Library& freetype = library();
        const std::lock_guard hold(freetype.lock);
        if (!freetype.handle
            || FT_New_Face(freetype.handle, file->path.c_str(), file->index, &face->handle) != 0) {
            face->handle = nullptr;
            return nullptr;
        }
    }
    if (!FT_IS_SCALABLE(face->handle))
        return nullptr;
    face->embolden = file->embolden;
    face->oblique = file->oblique;
    auto font = std::shared_ptr<Font>(new Font(spec, std::move(face)));
    font->family_ = file->family;
    return font->character_height_ > 0 ? font : nullptr;
}

std::shared_ptr<Font> Font::stock()
{
    static const std::shared_ptr<Font> font = create({});
    return font;
}

Font::Font(const FontSpec& spec, std::unique_ptr<Face> face)
    : spec_(spec)
    , face_(std::move(face))
{
    const FT_Face f = face_->handle;
    const long units = f->units_per_EM;
    // Ascent and descent as the platform reports them: the font's Windows metrics
    // when it has them, else its typographic ones.
    long ascent_units = f->ascender;
    long descent_units = -f->descender;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
    if (os2 && os2->usWinAscent + os2->usWinDescent > 0) {
        ascent_units = os2->usWinAscent;
        descent_units = os2->usWinDescent;
    }
    const long cell_units = std::max(1L, ascent_units + descent_units);

    int height = default_character_height;
    if (spec.height < 0)
        height = -spec.height;
    else if (spec.height > 0)
        height = round_div(long{spec.height} * units, cell_units);
    character_height_ = std::clamp(height, 1, max_character_height);
    if (FT_Set_Pixel_Sizes(f, 0, static_cast<FT_UInt>(character_height_)) != 0) {
        character_height_ = 0;
        return;
    }
    const long em = character_height_;
    metrics_.ascent = round_div(ascent_units * em, units);
    metrics_.descent = round_div(descent_units * em, units);
    metrics_.height = metrics_.ascent + metrics_.descent;
    underline_thickness_ = std::max(1, round_div(f->underline_thickness * em, units));
    underline_offset_ = metrics_.ascent + round_div(-f->underline_position * em, units)
        - underline_thickness_ / 2;
    underline_offset_ = std::clamp(underline_offset_, 0, std::max(0, metrics_.height - underline_thickness_));
}

Font::~Font() = default;

const Font::Glyph& Font::glyph(char32_t code_point) const
{
    if (const auto found = glyphs_.find(code_point); found != glyphs_.end())
        return found->second;
    Glyph made;
    const FT_Face f = face_->handle;
    if (FT_Load_Glyph(f, FT_Get_Char_Index(f, code_point), FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) == 0) {
        const FT_GlyphSlot slot = f->glyph;
        if (face_->embolden)
            FT_GlyphSlot_Embolden(slot);
        if (face_->oblique)
            FT_GlyphSlot_Oblique(slot);
        made.advance = static_cast<int>((slot->advance.x + 32) >> 6);
        if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) == 0
            && slot->bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
            const FT_Bitmap& bitmap = slot->bitmap;
            made.width = static_cast<int>(bitmap.width);
            made.height = static_cast<int>(bitmap.rows);
            made.left = slot->bitmap_left;
            made.top = slot->bitmap_top;
            made.levels.resize(static_cast<size_t>(made.width) * made.height);
            for (int y = 0; y < made.height; ++y) {
                const unsigned char* source = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
                std::copy(source, source + made.width, made.levels.data() + static_cast<size_t>(y) * made.width);
            }
        }
    }
    return glyphs_.emplace(code_point, std::move(made)).first->second;
}

template <typename Visit>
int Font::walk(std::u16string_view text, Visit visit) const
{
    int pen = 0;
    for (size_t i = 0; i < text.size();) {
        char32_t code_point = text[i];
        size_t units = 1;
        const bool high = code_point >= 0xD800 && code_point < 0xDC00;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            code_point = 0x10000 + ((code_point - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            units = 2;
        } else if (code_point >= 0xD800 && code_point < 0xE000) {
            code_point = 0xFFFD;
        }
        const Glyph& g = glyph(code_point);
        visit(i, units, g, pen);
        pen += g.advance;
        i += units;
    }
    return pen;
}

Size Font::text_extent(std::u16string_view text) const
{
    const std::lock_guard hold(lock_);
    return {walk(text, [](size_t, size_t, const Glyph&, int) {}), metrics_.height};
}

std::vector<int> Font::prefix_widths(std::u16string_view text) const
{
    std::vector<int> widths(text.size());
    const std::lock_guard hold(lock_);
    walk(text, [&](size_t i, size_t units, const Glyph& g, int pen) {
        // The first half of a surrogate pair adds nothing until its second half.
        if (units == 2)
            widths[i++] = pen;
        widths[i] = pen + g.advance;
    });
    return widths;
}

void Font::rasterize(std::u16string_view text,
    const std::function<void(const Coverage&, Point)>& paint) const
{
    const std::lock_guard hold(lock_);
    const int width = walk(text, [&](size_t, size_t, const Glyph& g, int pen) {
        if (!g.levels.empty())
            paint({g.levels.data(), g.width, g.height, g.width}, {pen + g.left, metrics_.ascent - g.top});
    });
    if (spec_.underline && width > 0) {
        const std::vector<uint8_t> solid(static_cast<size_t>(width), 255);
        paint({solid.data(), width, underline_thickness_, 0}, {0, underline_offset_});
    }
}

} // namespace platform
