#pragma once

#include <string>
#include <vector>

#include "os/path.h"

// Collects the full path of every file a folder scan offers, in the order the scan
// gives them; folders are passed over and the scan always goes on.
class FileFinder : public os::Finder {
public:
    bool on_file(const std::u16string& path) override
    {
        paths.push_back(path);
        return true;
    }

    std::vector<std::u16string> paths;
};

// The language menu collects the language files the same way.
using LanguageFinder = FileFinder;
