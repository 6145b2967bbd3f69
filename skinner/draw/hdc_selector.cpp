#include "skinner/draw/hdc_selector.h"

#include "liba/log.h"

namespace skinner {

HDCSelector::HDCSelector(platform::Surface& surface)
    : previous_(memory_.surface())
{
    if (!memory_.select(&surface))
        liba::fatal_error(u"HDCSelector::HDCSelector", u"Failed to select bitmap into context");
}

HDCSelector::~HDCSelector()
{
    memory_.select(previous_);
}

} // namespace skinner
