#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "audio/mp3_header.h"
#include "audio/play_chain.h"
#include "tests/audio/formats_fixtures.h"

namespace {

using formats_test::Scratch;

// The source tells the time by its pitch: a sweep from 300 Hz rising 10 Hz a second,
// four minutes long.
constexpr double sweep_start_hz = 300;
constexpr double sweep_hz_per_second = 10;
constexpr double source_seconds = 240;
constexpr double cut_start = 100;
constexpr double cut_finish = 130;
// How far the measurement of the sound itself may be off.
constexpr double measuring_slack = 0.004;

// Bytes put before the first frame of an encoded file.
enum class Prefix { none, picture_tag, junk };

struct Case {
    const char* name; // the file's name
    const char* command; // %in and %out stand for the source and the encoded file
    Prefix prefix;
    double frame_seconds; // one coded frame or block of the source, the largest error allowed
    double audible = 0.25; // the share of the peak at which the sound counts as begun
};

constexpr double mpeg1_frame = 1152 / 44100.0;

const Case cases[] = {
    {"cbr.mp3", "lame --quiet -b 128 %in %out", Prefix::none, mpeg1_frame},
    {"vbr_xing.mp3", "lame --quiet -V 2 %in %out", Prefix::none, mpeg1_frame},
    {"vbr_no_header.mp3", "lame --quiet -V 2 -t %in %out", Prefix::none, mpeg1_frame},
    {"picture_tag.mp3", "lame --quiet -b 128 %in %out", Prefix::picture_tag, mpeg1_frame},
    {"junk_before.mp3", "lame --quiet -V 2 %in %out", Prefix::junk, mpeg1_frame},
    {"layer2.mp2", "sox %in -C 192 -t mp2 %out", Prefix::none, mpeg1_frame},
    {"mpeg2_vbr.mp3", "lame --quiet --resample 22.05 -V 4 %in %out", Prefix::none, 576 / 22050.0},
    {"mpeg25.mp3", "lame --quiet --resample 11.025 -b 32 -t %in %out", Prefix::none, 576 / 11025.0},
    {"pcm.wav", "cp %in %out", Prefix::none, mpeg1_frame},
    {"adpcm.wav", "sox %in -e ms-adpcm %out", Prefix::none, 2036 / 44100.0},
    // The GSM decoder's sound comes up over 150 ms after a seek, from a twentieth of the peak.
    {"gsm.wav", "sox %in -r 8000 -c 1 -e gsm-full-rate %out", Prefix::none, mpeg1_frame, 1 / 32.0},
    {"vorbis.ogg", "oggenc -Q -o %out %in", Prefix::none, mpeg1_frame},
    {"musepack.mpc", "mpcenc --silent --overwrite %in %out", Prefix::none, mpeg1_frame},
};

std::string replace_all(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::string encode_command(const Case& c, const std::string& in, const std::string& out)
{
    return replace_all(replace_all(c.command, "%in", "'" + in + "'"), "%out", "'" + out + "'");
}

std::vector<uint8_t> noise(size_t count)
{
    std::mt19937 random(19);
    std::vector<uint8_t> bytes(count);
    for (uint8_t& byte : bytes)
        byte = uint8_t(random());
    return bytes;
}

// An ID3v2.3 tag holding one 360 KB picture frame.
std::vector<uint8_t> picture_tag()
{
    const std::vector<uint8_t> picture = noise(360 * 1024);
    std::vector<uint8_t> frame = {'A', 'P', 'I', 'C'};
    const uint32_t body = uint32_t(picture.size() + 14);
    for (int shift = 24; shift >= 0; shift -= 8)
        frame.push_back(uint8_t(body >> shift));
    frame.insert(frame.end(), {0, 0, 0});
    for (char ch : std::string("image/jpeg"))
        frame.push_back(uint8_t(ch));
    frame.insert(frame.end(), {0, 3, 0});
    frame.insert(frame.end(), picture.begin(), picture.end());
    std::vector<uint8_t> tag = {'I', 'D', '3', 3, 0, 0};
    for (int shift = 21; shift >= 0; shift -= 7)
        tag.push_back(uint8_t(frame.size() >> shift & 0x7F));
    tag.insert(tag.end(), frame.begin(), frame.end());
    return tag;
}

void prepend(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::vector<uint8_t> contents = bytes;
    const std::vector<uint8_t> file = formats_test::read_bytes(path);
    contents.insert(contents.end(), file.begin(), file.end());
    formats_test::write_bytes(path, contents);
}

int run_cut(const std::string& arguments)
{
    const std::string program = std::string(MELODRIFT_BIN_DIR) + "/melodrift-cut";
    const int status = std::system((program + " " + arguments + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Where in the source a decoded ring tone begins and ends: its sound's first and last
// audible samples, placed in source time by the pitch of the sweep, measured over the
// whole ring tone and taken as the median.
struct Located {
    double start = 0;
    double finish = 0;
};

Located locate_sweep(const std::vector<int16_t>& samples, int rate, double audible)
{
    int peak = 0;
    for (int16_t s : samples)
        peak = std::max(peak, std::abs(int(s)));
    const auto loud = [&](int16_t s) { return std::abs(int(s)) > peak * audible; };
    const size_t first = size_t(std::find_if(samples.begin(), samples.end(), loud) - samples.begin());
    const size_t last =
        samples.size() - 1 - size_t(std::find_if(samples.rbegin(), samples.rend(), loud) - samples.rbegin());

    std::vector<double> rising; // upward zero crossings, in samples, interpolated
    for (size_t i = first + 1; i <= last; ++i)
        if (samples[i - 1] < 0 && samples[i] >= 0)
            rising.push_back(double(i - 1) + double(-samples[i - 1]) / (samples[i] - samples[i - 1]));

    // Each window gives the pitch over it and so the source time at its middle.
    const double window = 0.2 * rate;
    std::vector<double> offsets;
    for (size_t begin = 0; begin < rising.size();) {
        size_t end = begin;
        while (end + 1 < rising.size() && rising[end + 1] - rising[begin] < window)
            ++end;
        if (end > begin + 10 && rising[begin] > first + rate * 0.5 && rising[end] < last - rate * 0.5) {
            const double hz = (end - begin) * double(rate) / (rising[end] - rising[begin]);
            const double middle = (rising[begin] + rising[end]) / 2 / rate;
            offsets.push_back((hz - sweep_start_hz) / sweep_hz_per_second - middle);
        }
        begin = end + 1;
    }
    Located located;
    if (offsets.empty())
        return located;
    std::nth_element(offsets.begin(), offsets.begin() + offsets.size() / 2, offsets.end());
    const double offset = offsets[offsets.size() / 2];
    located.start = double(first) / rate + offset;
    located.finish = double(last + 1) / rate + offset;
    return located;
}

TEST(CutTiming, EveryEncodingIsCutWithinOneFrameOfTheTimes)
{
    for (const char* tool : {"sox", "lame", "oggenc", "mpcenc", "mpg123"})
        ASSERT_TRUE(formats_test::have_tool(tool)) << tool << " is not installed";
    Scratch scratch;
    const std::string source = scratch.path("source.wav");
    ASSERT_TRUE(formats_test::run("sox -D -n -r 44100 -c 2 -b 16 '" + source + "' synth " +
        std::to_string(source_seconds) + " sine " + std::to_string(sweep_start_hz) + ":" +
        std::to_string(sweep_start_hz + sweep_hz_per_second * source_seconds) + " vol 0.5"));
    // The encoders run side by side.
    std::string encode_all;
    for (const Case& c : cases)
        encode_all += "(" + encode_command(c, source, scratch.path(c.name)) + ") & ";
    ASSERT_TRUE(formats_test::run(encode_all + "wait"));

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = scratch.path(c.name);
        if (c.prefix == Prefix::picture_tag)
            prepend(file, picture_tag());
        else if (c.prefix == Prefix::junk)
            prepend(file, noise(3000));

        const auto chain = audio::open_play_chain(liba::to_wide(file));
        ASSERT_NE(chain, nullptr);
        EXPECT_NEAR(chain->file_reader()->length_seconds(), source_seconds, 0.05);

        const std::string tone = scratch.path(std::string(c.name) + ".tone.mp3");
        ASSERT_EQ(run_cut("'" + file + "' --start 100 --finish 130 -o '" + tone + "'"), 0);
        const std::vector<uint8_t> bytes = formats_test::read_bytes(tone);
        audio::MP3Header header;
        ASSERT_GE(bytes.size(), 4u);
        ASSERT_TRUE(audio::parse_mp3_header(bytes.data(), header));
        const std::string raw = scratch.path(std::string(c.name) + ".raw");
        ASSERT_TRUE(formats_test::run("mpg123 -q -e s16 -O '" + raw + "' '" + tone + "'"));

        const Located located = locate_sweep(formats_test::read_raw_samples(raw), header.sample_rate, c.audible);
        EXPECT_NEAR(located.start, cut_start, c.frame_seconds + measuring_slack);
        EXPECT_NEAR(located.finish, cut_finish, c.frame_seconds + measuring_slack);
    }
}

} // namespace
