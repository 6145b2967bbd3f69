#pragma once

#include "liba/nocopy.h"
#include "platform/device_context.h"

namespace skinner {

// A memory context with one surface selected into it for the lifetime of the
// selector (every context draws 32-bit pixels, so any context is compatible). A surface that cannot be selected (it is already
// selected elsewhere) is a programming error and ends the program.
class HDCSelector : liba::Nocopy {
public:
    explicit HDCSelector(platform::Surface& surface);
    ~HDCSelector();

    platform::DeviceContext& context() { return memory_; }

private:
    platform::DeviceContext memory_;
    platform::Surface* previous_;
};

} // namespace skinner
