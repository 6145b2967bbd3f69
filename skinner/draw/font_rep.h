#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "liba/nocopy.h"
#include "platform/font.h"

namespace skinner {

// One platform font made from a skin font specification: "height bold italic
// underline face", for example "14 1 0 0 Tahoma" (height 12 when absent, at most 31
// characters of face). The height is multiplied by the skin scale and converted from
// points at 96 dots per inch into a character height.
class FontRep : liba::Nocopy {
public:
    FontRep(std::u16string_view specification, int scale);

    // What was asked of the platform.
    const platform::FontSpec& request() const { return request_; }
    // Null when the platform could not make the font.
    const platform::Font* handle() const { return font_.get(); }

private:
    platform::FontSpec request_;
    std::shared_ptr<platform::Font> font_;
};

} // namespace skinner
