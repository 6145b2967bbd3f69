#pragma once

// Fixtures for the audio tests: a scratch folder per test, sound files made with sox
// and lame, hand-written WAV files, and a consumer that gathers what flows into it.

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <vector>

#include "audio/blocks.h"
#include "audio/links.h"
#include "audio/play_chain.h"
#include "liba/text.h"

namespace fixtures {

// An empty folder of its own for the running test.
inline std::filesystem::path scratch_folder()
{
    const char* root = std::getenv("MELODRIFT_TEST_TMP");
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::filesystem::path folder = std::filesystem::path(root && *root ? root : "/tmp") / "audio-fixtures" /
                                   (std::string(test->test_suite_name()) + "." + test->name());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

inline std::u16string wide(const std::filesystem::path& path) { return liba::to_wide(path.string()); }

// Runs a shell command line; the test fails when it does not succeed.
inline void run(const std::string& command)
{
    ASSERT_EQ(std::system((command + " >/dev/null 2>&1").c_str()), 0) << command;
}

inline std::string quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

// A sine of the given length made by sox, without dither (silence stays silent); options are sox's output format options,
// for example "-r 44100 -c 2 -b 16".
inline std::filesystem::path make_sine(const std::filesystem::path& path, const std::string& options,
                                       double seconds, double volume = 0.5, int frequency = 440)
{
    run("sox -D -n " + options + " " + quoted(path) + " synth " + std::to_string(seconds) + " sine " +
        std::to_string(frequency) + " vol " + std::to_string(volume));
    return path;
}

// An MP3 made by lame from a sox sine; lame_options for example "-b 128".
inline std::filesystem::path make_mp3(const std::filesystem::path& path, const std::string& sine_options,
                                      double seconds, const std::string& lame_options, double volume = 0.5)
{
    const std::filesystem::path wav = path.string() + ".source.wav";
    make_sine(wav, sine_options, seconds, volume);
    run("lame --quiet " + lame_options + " " + quoted(wav) + " " + quoted(path));
    std::filesystem::remove(wav);
    return path;
}

inline std::string read_bytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void write_bytes(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string le16(uint32_t value) { return {char(value & 0xFF), char(value >> 8 & 0xFF)}; }
inline std::string le32(uint32_t value) { return le16(value & 0xFFFF) + le16(value >> 16); }
inline std::string chunk(const std::string& id, const std::string& contents, bool pad = true)
{
    return id + le32(uint32_t(contents.size())) + contents + (pad && contents.size() % 2 ? std::string(1, '\0') : "");
}

// The 16 common fmt bytes.
inline std::string fmt_fields(int tag, int channels, int rate, int bits)
{
    const int align = channels * ((bits + 7) / 8);
    return le16(tag) + le16(channels) + le32(rate) + le32(rate * align) + le16(align) + le16(bits);
}

// A RIFF/WAVE file of the given chunks.
inline std::string riff(const std::string& chunks) { return "RIFF" + le32(uint32_t(chunks.size() + 4)) + "WAVE" + chunks; }

// Gathers the blocks pushed into it.
template <class T>
class Collector : public audio::Consumer<T> {
public:
    void on_data(const T& block) override
    {
        blocks.push_back(block);
        bytes.append(reinterpret_cast<const char*>(block.data()), size_t(block.length()));
    }

    std::vector<T> blocks;
    std::string bytes;
};

// 16-bit little-endian samples of a byte string.
inline std::vector<int16_t> samples_of(const std::string& bytes)
{
    std::vector<int16_t> samples(bytes.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = int16_t(uint8_t(bytes[2 * i]) | uint8_t(bytes[2 * i + 1]) << 8);
    return samples;
}

// The whole file decoded through its play chain: its PCM bytes and their format.
struct Decoded {
    std::string bytes;
    audio::PCMData format;
    std::vector<int16_t> samples() const { return samples_of(bytes); }
    double seconds() const
    {
        return format.bytes_per_frame() ? double(bytes.size()) / format.bytes_per_frame() / format.sample_rate : 0;
    }
};

inline Decoded decode_all(const std::filesystem::path& path)
{
    Decoded decoded;
    std::unique_ptr<audio::PlayChain> chain = audio::open_play_chain(wide(path));
    if (!chain)
        return decoded;
    Collector<audio::PCMData> collector;
    chain->pcm_provider()->connect(&collector);
    audio::FileReader& reader = *chain->file_reader();
    while (!reader.is_eof()) {
        const int before = reader.position();
        reader.pump(100000);
        if (reader.position() == before)
            break;
    }
    decoded.bytes = collector.bytes;
    if (!collector.blocks.empty())
        decoded.format = collector.blocks.front();
    return decoded;
}

// Stands for a full disk: writes beyond a size limit fail.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, old_handler_);
    }

private:
    rlimit saved_{};
    void (*old_handler_)(int);
};

} // namespace fixtures
