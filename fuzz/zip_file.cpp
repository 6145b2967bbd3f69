// links: liba os
// Walks a fuzzed archive, looks members up and reads them with hostile seeks.
#include <cstdint>
#include <string>

#include "fuzz_file.h"
#include "os/zip_archive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::u16string path = fuzz_file(data, size);
    if (path.empty())
        return 0;
    os::ZipArchive zip(path);
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
