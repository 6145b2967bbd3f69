#pragma once

#include "liba/string_translator.h"
#include "skinner/draw/font.h"
#include "skinner/draw/picture.h"
#include "skinner/skin/skin_reader.h"

#include <string>
#include <vector>

namespace skinner {

// A loaded skin: the reader with the skin's pictures and fonts, made for the
// reader's scale. The translator base is part of the object's shape only; the skin
// keeps no texts in it. A skin whose pictures do not all load is invalid.
class PropertiesImpl : public liba::StringTranslator {
public:
    // No skin: invalid, scale 1.
    PropertiesImpl() = default;
    PropertiesImpl(std::u16string path, platform::Size screen, const SkinDevice& device = current_device());

    SkinReader& reader() { return reader_; }
    const SkinReader& reader() const { return reader_; }
    // The picture or font at an index that the reader's records give.
    const Picture& picture(uint32_t index) const { return pictures_.at(index); }
    const Font& font(uint32_t index) const { return fonts_.at(index); }

private:
    // Declared so that fonts go first, then pictures, then the skin data.
    SkinReader reader_;
    std::vector<Picture> pictures_;
    std::vector<Font> fonts_;
};

} // namespace skinner
