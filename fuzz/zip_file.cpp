// links: liba os
// Walks a fuzzed archive, looks members up and reads them with hostile seeks.
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "liba/text.h"
#include "liba/zip_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = "/tmp/fuzz_zip_" + std::to_string(getpid()) + ".zip";
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    liba::ZipFile zip(liba::to_wide(path));
    uint8_t buffer[512];
    for (int members = 0; members < 64; ++members) {
        const std::u16string name = zip.next_entry();
        if (name.empty())
            break;
        while (zip.read(buffer, sizeof buffer) > 0) {
        }
        zip.seek(zip.size() / 2);
        zip.skip(7);
        zip.read(buffer, sizeof buffer);
    }
    zip.find_entry(u"a/B.skin");
    zip.read(buffer, sizeof buffer);
    return 0;
}
