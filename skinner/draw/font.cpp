#include "skinner/draw/font.h"

#include <map>
#include <memory>
#include <utility>

#include "skinner/draw/font_rep.h"

namespace skinner {

struct FontCacheEntry {
    std::pair<std::u16string, int> key;
    std::unique_ptr<FontRep> rep;
    int references = 0;
};

namespace {

using FontCache = std::map<std::pair<std::u16string, int>, std::unique_ptr<FontCacheEntry>>;

// Outlives every static owner of a font, so releases at exit still find it.
FontCache& cache()
{
    static FontCache* const fonts = new FontCache;
    return *fonts;
}

} // namespace

Font::Font(int scale)
    : scale_(scale)
{
}

Font::Font(const Font& other)
    : scale_(other.scale_)
    , entry_(other.entry_)
{
    if (entry_)
        ++entry_->references;
}

Font& Font::operator=(const Font& other)
{
    if (other.entry_)
        ++other.entry_->references;
    release();
    scale_ = other.scale_;
    entry_ = other.entry_;
    return *this;
}

Font::~Font()
{
    release();
}

void Font::release()
{
    if (entry_ && --entry_->references == 0)
        cache().erase(entry_->key);
    entry_ = nullptr;
}

void Font::set_specification(std::u16string_view specification)
{
    auto key = std::make_pair(std::u16string(specification), scale_);
    auto& fonts = cache();
    auto found = fonts.find(key);
    if (found == fonts.end()) {
        auto entry = std::make_unique<FontCacheEntry>();
        entry->rep = std::make_unique<FontRep>(specification, scale_);
        entry->key = key;
        found = fonts.emplace(std::move(key), std::move(entry)).first;
    }
    FontCacheEntry* chosen = found->second.get();
    ++chosen->references;
    release();
    entry_ = chosen;
}

const platform::Font* Font::handle() const
{
    return entry_ ? entry_->rep->handle() : nullptr;
}

const platform::Font* Font::face() const
{
    if (const platform::Font* own = handle())
        return own;
    return platform::Font::stock().get();
}

const FontRep* Font::rep() const
{
    return entry_ ? entry_->rep.get() : nullptr;
}

size_t Font::cached_count()
{
    return cache().size();
}

} // namespace skinner
