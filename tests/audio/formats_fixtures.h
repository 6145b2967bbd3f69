#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "audio/blocks.h"
#include "audio/links.h"
#include "liba/text.h"

// Sound files for the format tests, made at test time by the encoders the formats
// come from (sox, oggenc, mpcenc), with the same tools' decodings as references.
namespace formats_test {

// A scratch folder of this test process, removed with the object.
class Scratch {
public:
    Scratch()
    {
        const char* root = std::getenv("MELODRIFT_TEST_TMP");
        folder_ = std::filesystem::path(root && *root ? root : "/tmp") / ("formats-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder_);
    }
    ~Scratch()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    std::string path(const std::string& name) const { return (folder_ / name).string(); }
    std::u16string wide(const std::string& name) const { return liba::to_wide(path(name)); }

private:
    std::filesystem::path folder_;
};

inline bool run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

inline bool have_tool(const std::string& name) { return run("command -v " + name); }

inline std::vector<uint8_t> read_bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void write_bytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// Signed 16-bit little-endian samples of a raw file.
inline std::vector<int16_t> read_raw_samples(const std::string& path)
{
    const std::vector<uint8_t> bytes = read_bytes(path);
    std::vector<int16_t> samples(bytes.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
    return samples;
}

inline void append_samples(std::vector<int16_t>& samples, const audio::PCMData& block)
{
    for (int32_t i = 0; i + 1 < block.length(); i += 2)
        samples.push_back(static_cast<int16_t>(block.data()[i] | block.data()[i + 1] << 8));
}

// Every sample a PCM provider hands out, pulled count frames at a time.
inline std::vector<int16_t> pull_all(audio::Provider<audio::PCMData>& provider, int count = 4096)
{
    std::vector<int16_t> samples;
    for (audio::PCMData block = provider.read(count); !block.empty(); block = provider.read(count))
        append_samples(samples, block);
    return samples;
}

inline int max_difference(const std::vector<int16_t>& a, const std::vector<int16_t>& b)
{
    int worst = 0;
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        worst = std::max(worst, std::abs(a[i] - b[i]));
    return worst;
}

// Source material: a sweep on the left (or only) channel and a steady tone on the
// right, at half of full scale.
inline bool make_source(const std::string& path, int rate, int channels, double seconds = 2)
{
    const std::string tones = channels == 1 ? " sine 300-2000" : " sine 300-2000 sine 500";
    return run("sox -n -r " + std::to_string(rate) + " -c " + std::to_string(channels) + " -b 16 '" + path +
               "' synth " + std::to_string(seconds) + tones + " vol 0.5");
}

// Decodes any file sox reads to raw signed 16-bit samples.
inline bool sox_decode(const std::string& in, const std::string& raw)
{
    return run("sox '" + in + "' -t raw -e signed -b 16 '" + raw + "'");
}

} // namespace formats_test
