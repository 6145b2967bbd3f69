#include "skinner/draw/image_record.h"

#include <map>

#include "liba/log.h"
#include "liba/text.h"
#include "skinner/draw/hdc_selector.h"
#include "skinner/draw/image_search.h"

namespace skinner {
namespace {

using ImageCache = std::map<ImageKey, ImageRecord*>;

// Outlives every static owner of a picture, so releases at exit still find it.
ImageCache& cache()
{
    static ImageCache* const images = new ImageCache;
    return *images;
}

// A copy of the surface, scale times larger each way, by nearest-pixel stretching.
std::unique_ptr<platform::Surface> enlarged(const platform::Surface& source, int scale)
{
    auto scaled = platform::Surface::create(source.width() * scale, source.height() * scale);
    if (!scaled)
        return nullptr;
    HDCSelector selector(*scaled);
    selector.context().stretch(scaled->bounds(), source, source.bounds());
    return scaled;
}

} // namespace

ImageRecord* ImageRecord::acquire(const ImageKey& key)
{
    ImageCache& images = cache();
    auto found = images.find(key);
    if (found == images.end())
        found = images.emplace(key, new ImageRecord(key)).first;
    found->second->add_reference();
    return found->second;
}

void ImageRecord::release()
{
    if (--references_ > 0)
        return;
    cache().erase(key_);
    delete this;
}

size_t ImageRecord::cached_count()
{
    return cache().size();
}

ImageRecord::ImageRecord(const ImageKey& key)
    : key_(key)
{
    if (key.scale != 1 && load_unscaled(key.path, key.name + u"_x" + liba::to_wide(std::to_string(key.scale))))
        return;
    if (load_unscaled(key.path, key.name) && key.scale != 1)
        scale_up(key.scale);
}

bool ImageRecord::load_unscaled(std::u16string_view skin_path, const std::u16string& name)
{
    ImageSearch search(skin_path);
    bitmap_ = search.load(name);
    if (!bitmap_)
        return false;
    mask_ = search.load(name + u"_1");
    if (!mask_) {
        mask_ = search.load(name + u"_8");
        alpha_ = mask_ != nullptr;
    }
    return true;
}

void ImageRecord::scale_up(int scale)
{
    liba::log() << u"bmp: Width=" << bitmap_->width() << u" Height=" << bitmap_->height()
                << u" bmBitsPixel=" << 32 << u" bmPlanes=" << 1 << u"\n";
    bitmap_ = enlarged(*bitmap_, scale);
    if (mask_) {
        liba::log() << u"bitmap_info_a: bmBitsPixel=" << 32 << u" bmPlanes=" << 1 << u"\n";
        mask_ = enlarged(*mask_, scale);
    }
    if (!bitmap_)
        mask_.reset();
}

} // namespace skinner
