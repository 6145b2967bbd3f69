// links: skinner
// Property lookups on a skin of application size: the same (form, control) pair over
// and over, as a control reads its properties, and pairs that alternate, which defeats
// the one-entry caches. Prints comparisons and nanoseconds per lookup.

#include "liba/text.h"
#include "skinner/skin/skin_reader.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int lookups = 100000;
const char16_t* const property_names[] = {u"Position", u"Size", u"Caption", u"Font", u"Normal", u"Color"};

// Eight forms of 24 controls, each with a dozen properties, plus twenty kinds.
std::string skin_source()
{
    std::string xml = "<skin key=\"Melodrift_1.00\"><resolution width=\"240\" height=\"320\"/>";
    auto properties = [](int n) {
        std::string text;
        for (const char* name : {"Anchor", "Cursor2", "HAlignment", "Tab", "VAlignment", "ZOrder"})
            text += "<int name=\"" + std::string(name) + "\" value=\"" + std::to_string(n) + "\"/>";
        text += "<point name=\"Position\" value=\"4 " + std::to_string(n % 300) + "\"/>";
        text += "<point name=\"Size\" value=\"100 24\"/>";
        text += "<string name=\"Caption\" value=\"Caption_" + std::to_string(n) + "\"/>";
        text += "<font name=\"Font\" value=\"12 0 0 0 Tahoma\"/>";
        text += "<picture name=\"Normal\" image=\"button\" p4=\"24 24\"/>";
        text += "<color name=\"Color\" value=\"#102030\"/>";
        return text;
    };
    for (int k = 0; k < 20; ++k)
        xml += "<kind name=\"Kind" + std::to_string(k) + "\">" + properties(k) + "</kind>";
    for (int f = 0; f < 8; ++f) {
        xml += "<form name=\"Form" + std::to_string(f) + "\"><point name=\"Size\" value=\"240 268\"/>";
        for (int c = 0; c < 24; ++c)
            xml += "<control name=\"btnControl" + std::to_string(c) + "\" class=\"Button\">" + properties(c) +
                   "</control>";
        xml += "</form>";
    }
    return xml + "</skin>";
}

struct Pair {
    std::u16string form;
    std::u16string control;
};

void measure(skinner::SkinReader& reader, const char* what, const std::vector<Pair>& pairs)
{
    reader.reset_counters();
    int64_t sum = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < lookups; ++i) {
        const Pair& pair = pairs[i % pairs.size()];
        const auto node = reader.find_node(pair.form, pair.control);
        if (const auto value = reader.point(node, property_names[i % 6]))
            sum += value->x;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%-34s %8.2f comparisons/lookup %8.1f ns/lookup  (checksum %lld)\n", what,
                static_cast<double>(reader.compare_counter()) / lookups, seconds * 1e9 / lookups,
                static_cast<long long>(sum));
}

} // namespace

int main()
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / "bench_skin_lookup";
    fs::create_directories(folder);
    std::ofstream(folder / "bench.xml") << skin_source();
    const std::string skinc = (fs::canonical("/proc/self/exe").parent_path() / "skinc").string();
    const std::string command =
        skinc + " " + (folder / "bench.xml").string() + " -o " + (folder / "bench.skin").string();
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "bench_skin_lookup: cannot compile the skin with %s\n", skinc.c_str());
        return 1;
    }
    skinner::SkinReader reader(liba::to_wide((folder / "bench.skin").string()), {240, 320}, {false, false});
    if (!reader.is_valid()) {
        std::fprintf(stderr, "bench_skin_lookup: the compiled skin is not valid\n");
        return 1;
    }
    std::printf("%d lookups of one of six properties each, skin of %ju bytes\n", lookups,
                static_cast<uintmax_t>(fs::file_size(folder / "bench.skin")));
    measure(reader, "one (form, control) pair", {{u"Form3", u"btnControl7"}});
    measure(reader, "two controls of one form", {{u"Form3", u"btnControl7"}, {u"Form3", u"btnControl18"}});
    measure(reader, "controls of two forms", {{u"Form3", u"btnControl7"}, {u"Form5", u"btnControl7"}});
    measure(reader, "two kinds", {{u"", u"Kind4"}, {u"", u"Kind15"}});
    return 0;
}
