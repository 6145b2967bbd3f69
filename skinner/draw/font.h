#pragma once

#include <string>
#include <string_view>

#include "platform/font.h"

namespace skinner {

class FontRep;
struct FontCacheEntry;

// A skin font: a shared reference into the process-wide cache of FontRep objects
// keyed by (specification, scale). Copies share the entry; the entry goes when its
// last reference does. Used on the user-interface thread only.
class Font {
public:
    explicit Font(int scale = 1);
    Font(const Font& other);
    Font& operator=(const Font& other);
    ~Font();

    // Finds or creates the cache entry for (specification, this font's scale).
    void set_specification(std::u16string_view specification);

    // Null for the empty font and when the platform could not make it.
    const platform::Font* handle() const;
    // What text is drawn and measured with: the font's own, or the stock font when it
    // has none (null only when no face exists at all).
    const platform::Font* face() const;
    const FontRep* rep() const;
    int scale() const { return scale_; }

    // Number of distinct fonts alive, for diagnostics and tests.
    static size_t cached_count();

private:
    void release();

    int scale_;
    FontCacheEntry* entry_ = nullptr;
};

} // namespace skinner
