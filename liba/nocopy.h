#pragma once

namespace liba {

// Base of objects that own a resource and must not be copied or moved.
class Nocopy {
public:
    Nocopy(const Nocopy&) = delete;
    Nocopy& operator=(const Nocopy&) = delete;

protected:
    Nocopy() = default;
    ~Nocopy() = default;
};

} // namespace liba
