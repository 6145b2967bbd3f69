#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <tuple>

#include "liba/nocopy.h"
#include "platform/surface.h"

namespace skinner {

struct ImageKey {
    std::u16string path;
    std::u16string name;
    int scale = 1;

    // Scale first, then path, then name.
    friend bool operator<(const ImageKey& a, const ImageKey& b)
    {
        return std::tie(a.scale, a.path, a.name) < std::tie(b.scale, b.path, b.name);
    }
};

// One loaded picture file at one scale, shared by every picture that names it: the
// image, its optional mask (white opaque, black transparent; with the alpha flag a
// grey level per pixel) and the count of pictures holding it.
class ImageRecord : liba::Nocopy {
public:
    // The record for the key from the process-wide cache, loaded on first use, with
    // one more reference. A record whose image failed to load has no bitmap.
    static ImageRecord* acquire(const ImageKey& key);
    void add_reference() { ++references_; }
    // Drops one reference; the last one removes the record from the cache.
    void release();

    const ImageKey& key() const { return key_; }
    const platform::Surface* bitmap() const { return bitmap_.get(); }
    const platform::Surface* mask() const { return mask_.get(); }
    bool alpha() const { return alpha_; }
    int width() const { return bitmap_ ? bitmap_->width() : 0; }
    int height() const { return bitmap_ ? bitmap_->height() : 0; }

    // Number of records alive, for diagnostics and tests.
    static size_t cached_count();

private:
    explicit ImageRecord(const ImageKey& key);
    bool load_unscaled(std::u16string_view skin_path, const std::u16string& name);
    void scale_up(int scale);

    ImageKey key_;
    std::unique_ptr<platform::Surface> bitmap_;
    std::unique_ptr<platform::Surface> mask_;
    bool alpha_ = false;
    int references_ = 0;
};

} // namespace skinner
