#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "png/inflate.h"
#include "png_fixtures.h"

namespace {

using png_fixtures::BitWriter;
using png_fixtures::Bytes;

struct Inflated {
    QelInflateResult result;
    Bytes output;
    int runs = 0;
};

Inflated inflate_all(const Bytes& stream, size_t stop_after = SIZE_MAX)
{
    Inflated inflated{};
    inflated.result = qel_inflate(stream, [&](std::span<const uint8_t> run) {
        ++inflated.runs;
        inflated.output.insert(inflated.output.end(), run.begin(), run.end());
        return inflated.output.size() < stop_after;
    });
    return inflated;
}

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

TEST(Inflate, FixedCodesWithOverlappingMatches)
{
    // "ab" then a match at distance 2 (overlapping), one at distance 1 (a run), one
    // of the longest length, and one reaching 9 bytes back (copied by words).
    BitWriter stream;
    stream.block_header(true, 1).literal('a').literal('b').match(6, 2).literal('c').match(4, 1);
    stream.match(258, 9).end_of_block();
    const Inflated inflated = inflate_all(stream.finish());

    std::string expected = "abababab" "ccccc";
    for (int i = 0; i < 258; ++i)
        expected += expected[expected.size() - 9];
    EXPECT_EQ(inflated.result, QelInflateResult::finished);
    EXPECT_EQ(inflated.output, text(expected));
}

TEST(Inflate, OutputLongerThanTheBufferKeepsItsHistory)
{
    // 300 KB from matches at the window's far edge, across many slides of the buffer.
    const unsigned distance = 32768;
    BitWriter stream;
    stream.block_header(true, 1);
    png_fixtures::Noise noise(7);
    Bytes expected;
    for (unsigned i = 0; i < distance; ++i) {
        expected.push_back(noise.next());
        stream.literal(expected.back());
    }
    while (expected.size() < 300000) {
        stream.match(258, distance);
        for (int i = 0; i < 258; ++i)
            expected.push_back(expected[expected.size() - distance]);
    }
    stream.end_of_block();
    const Inflated inflated = inflate_all(stream.finish());
    EXPECT_EQ(inflated.result, QelInflateResult::finished);
    EXPECT_TRUE(inflated.output == expected);
    EXPECT_GT(inflated.runs, 1);
}

TEST(Inflate, StoredBlocksFollowedByFixedBlock)
{
    Bytes stored = png_fixtures::zlib_stored(text("hello "));
    stored.resize(stored.size() - 4);   // drop the checksum
    stored[2] = 0;                      // not the last block
    BitWriter stream(stored);
    stream.block_header(true, 1).literal('w').match(4, 6).end_of_block();
    const Inflated inflated = inflate_all(stream.finish());
    EXPECT_EQ(inflated.result, QelInflateResult::finished);
    EXPECT_EQ(inflated.output, text("hello wello"));
}

TEST(Inflate, SinkStopsTheInflater)
{
    const Bytes stream = png_fixtures::zlib_stored(Bytes(200000, 1));
    const Inflated inflated = inflate_all(stream, 1);
    EXPECT_EQ(inflated.result, QelInflateResult::stopped);
    EXPECT_EQ(inflated.runs, 1);
}

struct BrokenStream {
    const char* name;
    Bytes stream;
    QelInflateResult result;
    std::string output;  // what is delivered before the fault
};

std::vector<BrokenStream> broken_streams()
{
    std::vector<BrokenStream> cases;
    cases.push_back({"empty", {}, QelInflateResult::truncated, ""});
    cases.push_back({"method 7", {0x77, 0x01, 0x03, 0x00}, QelInflateResult::bad_header, ""});
    cases.push_back({"window of 64 KiB", {0x88, 0x01, 0x03, 0x00}, QelInflateResult::bad_header, ""});
    cases.push_back({"preset dictionary", {0x78, 0x20, 0, 0, 0, 0, 0x03, 0x00}, QelInflateResult::preset_dictionary, ""});
    cases.push_back({"block type 3", BitWriter().block_header(true, 3).finish(), QelInflateResult::bad_data, ""});
    cases.push_back({"no blocks", {0x78, 0x01}, QelInflateResult::truncated, ""});

    Bytes stored = png_fixtures::zlib_stored(text("abcdef"));
    stored[5] ^= 0xFF;
    cases.push_back({"stored length check", stored, QelInflateResult::bad_data, ""});
    stored = png_fixtures::zlib_stored(text("abcdef"));
    stored.resize(stored.size() - 4 - 2);
    cases.push_back({"stored data cut", stored, QelInflateResult::truncated, "abcd"});
    stored.resize(5);
    cases.push_back({"stored length cut", stored, QelInflateResult::truncated, ""});

    cases.push_back({"match before the start", BitWriter().block_header(true, 1).literal('x').match(3, 2).finish(),
                     QelInflateResult::bad_data, "x"});
    // A 256-byte window (window bits 0) refuses a distance of 257.
    BitWriter small_window({0x08, 0x1D});
    small_window.block_header(true, 1);
    for (int i = 0; i < 300; ++i)
        small_window.literal('q');
    small_window.match(3, 257).end_of_block();
    cases.push_back({"match beyond the window", small_window.finish(), QelInflateResult::bad_data,
                     std::string(300, 'q')});
    cases.push_back({"length symbol 286", BitWriter().block_header(true, 1).literal('y').fixed_symbol(286).finish(),
                     QelInflateResult::bad_data, "y"});
    cases.push_back({"distance code 30",
                     BitWriter().block_header(true, 1).literal('y').fixed_symbol(257).code(30, 5).finish(),
                     QelInflateResult::bad_data, "y"});
    cases.push_back({"fixed block without its end", BitWriter().block_header(true, 1).literal('a').literal('b').finish(),
                     QelInflateResult::truncated, "ab"});

    // Dynamic headers: 257 literal codes, 1 distance code, 19 code-length lengths.
    auto dynamic = [](unsigned literal_count, const std::vector<unsigned>& code_length_lengths) {
        BitWriter writer;
        writer.block_header(true, 2).bits(literal_count - 257, 5).bits(0, 5).bits(15, 4);
        for (const unsigned length : code_length_lengths)
            writer.bits(length, 3);
        return writer;
    };
    const std::vector<unsigned> all_one(19, 1);
    cases.push_back({"too many literal codes", dynamic(287, all_one).finish(), QelInflateResult::bad_data, ""});
    cases.push_back({"over-subscribed code lengths", dynamic(257, all_one).finish(), QelInflateResult::bad_data, ""});
    // Symbols 16 and 0 get one-bit codes (sent in the order 16, 17, 18, 0, ...): code 0
    // stands for symbol 0, code 1 for symbol 16.
    std::vector<unsigned> sixteen_and_zero(19, 0);
    sixteen_and_zero[0] = sixteen_and_zero[3] = 1;
    cases.push_back({"repeat with nothing before", dynamic(257, sixteen_and_zero).code(1, 1).bits(0, 2).finish(),
                     QelInflateResult::bad_data, ""});
    // All 258 lengths zero through symbol 0, then the block would start: no end-of-block code.
    BitWriter no_end = dynamic(257, sixteen_and_zero);
    for (int i = 0; i < 258; ++i)
        no_end.code(0, 1);
    cases.push_back({"no end-of-block code", no_end.finish(), QelInflateResult::bad_data, ""});
    cases.push_back({"table cut short", dynamic(257, sixteen_and_zero).code(0, 1).finish(),
                     QelInflateResult::truncated, ""});
    return cases;
}

TEST(Inflate, BrokenStreamsEndWithTheirFault)
{
    for (const BrokenStream& broken : broken_streams()) {
        SCOPED_TRACE(broken.name);
        const Inflated inflated = inflate_all(broken.stream);
        EXPECT_EQ(inflated.result, broken.result);
        EXPECT_EQ(std::string(inflated.output.begin(), inflated.output.end()), broken.output);
    }
}

TEST(Inflate, EveryCutOfAValidStreamEndsCleanly)
{
    BitWriter writer;
    writer.block_header(false, 1).literal('r').match(10, 1).literal('s').match(20, 2).end_of_block();
    writer.block_header(true, 0);
    Bytes stream = writer.finish();
    stream.insert(stream.end(), {4, 0, 0xFB, 0xFF, 't', 'a', 'i', 'l', 0, 0, 0, 0});
    const Bytes whole = inflate_all(stream).output;
    ASSERT_EQ(std::string(whole.begin(), whole.end()), std::string(11, 'r') + "s" + "rsrsrsrsrsrsrsrsrsrs" + "tail");

    for (size_t cut = 0; cut + 4 < stream.size(); ++cut) {
        SCOPED_TRACE(cut);
        const Inflated inflated = inflate_all(Bytes(stream.begin(), stream.begin() + long(cut)));
        EXPECT_EQ(inflated.result, QelInflateResult::truncated);
        EXPECT_LT(inflated.output.size(), whole.size());
        EXPECT_TRUE(std::equal(inflated.output.begin(), inflated.output.end(), whole.begin()));
    }
}

} // namespace
