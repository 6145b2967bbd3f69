#include "skinner/skin/properties_impl.h"

#include "liba/log.h"

namespace skinner {

PropertiesImpl::PropertiesImpl(std::u16string path, platform::Size screen, const SkinDevice& device)
    : reader_(std::move(path), screen, device)
{
    if (!reader_.is_valid())
        return;
    for (uint32_t i = 0; i < reader_.picture_count(); ++i) {
        const std::u16string name = reader_.picture_name(i);
        Picture picture(reader_.path(), name, false, reader_.scale());
        if (!picture.has_bitmap()) {
            liba::log() << u"PropertiesImpl::PropertiesImpl picture failed to load {" << name << u"}\n";
            pictures_.clear();
            reader_.reject();
            return;
        }
        pictures_.push_back(std::move(picture));
    }
    for (uint32_t i = 0; i < reader_.font_count(); ++i) {
        Font font(reader_.scale());
        font.set_specification(reader_.font_spec(i));
        fonts_.push_back(std::move(font));
    }
}

} // namespace skinner
