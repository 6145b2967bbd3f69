#pragma once

#include "platform/base/geometry.h"

namespace skinner {

// A position or a size in form pixels: one pair of integers serves both, as the skin
// stores sizes in point records. The same value the platform layer takes.
using Point = platform::Point;

} // namespace skinner
