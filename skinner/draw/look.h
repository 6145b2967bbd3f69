#pragma once

#include "skinner/draw/colour.h"
#include "skinner/draw/font.h"
#include "skinner/draw/picture.h"

namespace skinner {

// How a control, or a part of one, looks in one state: a picture under it and the
// font and colour of its text, read from the skin under one name.
struct Look {
    Picture picture;
    Font font;
    Colour colour;
};

} // namespace skinner
