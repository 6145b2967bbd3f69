#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

#include "liba/text.h"

// The readers open files by name; one memory file per process, reached through
// /proc/self/fd, holds each fuzz input. Answers its name, or an empty name when the
// bytes could not be stored.
inline std::u16string fuzz_file(const void* data, size_t size)
{
    static const int descriptor = memfd_create("fuzz-input", 0);
    static const std::u16string name = liba::to_wide("/proc/self/fd/" + std::to_string(descriptor));
    if (ftruncate(descriptor, 0) != 0 || pwrite(descriptor, data, size, 0) != static_cast<ssize_t>(size))
        return {};
    return name;
}
