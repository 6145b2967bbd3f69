#include "png/inflate.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <vector>

namespace {

// A decoding table entry packs what one code stands for: bits 0-7 the code's length,
// 8-11 its kind, 12-15 the count of extra bits that follow it (for a subtable link,
// the subtable's index bits), 16-31 its value (literal, base length or distance, or
// the subtable's offset).
enum Kind : uint32_t { literal, base_and_extra, end_of_block, subtable, invalid };

constexpr uint32_t make_entry(uint32_t value, uint32_t extra, Kind kind, uint32_t length = 0)
{
    return value << 16 | extra << 12 | uint32_t(kind) << 8 | length;
}
constexpr unsigned entry_length(uint32_t entry) { return entry & 0xFF; }
constexpr Kind entry_kind(uint32_t entry) { return Kind((entry >> 8) & 0xF); }
constexpr unsigned entry_extra(uint32_t entry) { return (entry >> 12) & 0xF; }
constexpr unsigned entry_value(uint32_t entry) { return entry >> 16; }

constexpr unsigned max_code_length = 15;
constexpr unsigned max_root_bits = 10;
constexpr unsigned literal_root_bits = 10;
constexpr unsigned distance_root_bits = 8;
constexpr unsigned code_length_root_bits = 7;

constexpr std::array<uint32_t, 288> literal_meanings = [] {
    constexpr uint16_t bases[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                    31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
    constexpr uint8_t extras[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                    2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    std::array<uint32_t, 288> meanings{};
    for (uint32_t symbol = 0; symbol < 256; ++symbol)
        meanings[symbol] = make_entry(symbol, 0, literal);
    meanings[256] = make_entry(0, 0, end_of_block);
    for (unsigned i = 0; i < 29; ++i)
        meanings[257 + i] = make_entry(bases[i], extras[i], base_and_extra);
    meanings[286] = meanings[287] = make_entry(0, 0, invalid);
    return meanings;
}();

constexpr std::array<uint32_t, 32> distance_meanings = [] {
    constexpr uint16_t bases[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,
                                    33,  49,  65,  97,  129, 193,  257,  385,  513,  769,
                                    1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
    std::array<uint32_t, 32> meanings{};
    for (unsigned i = 0; i < 30; ++i)
        meanings[i] = make_entry(bases[i], i < 4 ? 0 : i / 2 - 1, base_and_extra);
    meanings[30] = meanings[31] = make_entry(0, 0, invalid);
    return meanings;
}();

constexpr std::array<uint32_t, 19> code_length_meanings = [] {
    std::array<uint32_t, 19> meanings{};
    for (uint32_t symbol = 0; symbol < 19; ++symbol)
        meanings[symbol] = make_entry(symbol, 0, literal);
    return meanings;
}();

// Canonical Huffman decoding by table: one look-up in a root table indexed by the
// next root_bits of input, and a second one in a subtable for the longer codes.
class HuffmanTable {
public:
    // Answers false for an over-subscribed set of lengths. Bit patterns that an
    // incomplete set leaves unused decode as invalid.
    bool build(const uint8_t* lengths, unsigned count, const uint32_t* meanings, unsigned root_bits);

    // bits holds at least max_code_length valid bits, the next code in its lowest bits.
    uint32_t lookup(uint64_t bits) const
    {
        uint32_t entry = entries_[bits & root_mask_];
        if (entry_kind(entry) == subtable)
            entry = entries_[entry_value(entry) + ((bits >> root_bits_) & ((1u << entry_extra(entry)) - 1))];
        return entry;
    }

private:
    std::vector<uint32_t> entries_;
    unsigned root_bits_ = 0;
    uint64_t root_mask_ = 0;
};

uint32_t reverse_bits(uint32_t code, unsigned length)
{
    uint32_t reversed = 0;
    for (unsigned i = 0; i < length; ++i, code >>= 1)
        reversed = reversed << 1 | (code & 1);
    return reversed;
}

bool HuffmanTable::build(const uint8_t* lengths, unsigned count, const uint32_t* meanings, unsigned root_bits)
{
    std::array<unsigned, max_code_length + 1> per_length{};
    for (unsigned symbol = 0; symbol < count; ++symbol)
        ++per_length[lengths[symbol]];
    per_length[0] = 0;

    std::array<uint32_t, max_code_length + 1> next_code{};
    int unused = 1;
    uint32_t code = 0;
    for (unsigned length = 1; length <= max_code_length; ++length) {
        unused = unused * 2 - int(per_length[length]);
        if (unused < 0)
            return false;
        code = (code + per_length[length - 1]) << 1;
        next_code[length] = code;
    }

    // Codes arrive least significant bit first, so tables are indexed by reversed codes.
    const uint32_t root_size = 1u << root_bits;
    std::array<uint32_t, 288> reversed{};
    std::array<uint8_t, 1u << max_root_bits> subtable_bits{};
    for (unsigned symbol = 0; symbol < count; ++symbol) {
        const unsigned length = lengths[symbol];
        if (length == 0)
            continue;
        reversed[symbol] = reverse_bits(next_code[length]++, length);
        if (length > root_bits) {
            uint8_t& bits = subtable_bits[reversed[symbol] & (root_size - 1)];
            bits = uint8_t(std::max<unsigned>(bits, length - root_bits));
        }
    }

    uint32_t size = root_size;
    for (uint32_t prefix = 0; prefix < root_size; ++prefix)
        size += subtable_bits[prefix] ? 1u << subtable_bits[prefix] : 0;
    entries_.assign(size, make_entry(0, 0, invalid));
    uint32_t offset = root_size;
    for (uint32_t prefix = 0; prefix < root_size; ++prefix) {
        if (subtable_bits[prefix] == 0)
            continue;
        entries_[prefix] = make_entry(offset, subtable_bits[prefix], subtable);
        offset += 1u << subtable_bits[prefix];
    }

    for (unsigned symbol = 0; symbol < count; ++symbol) {
        const unsigned length = lengths[symbol];
        if (length == 0)
            continue;
        const uint32_t entry = meanings[symbol] | length;
        if (length <= root_bits) {
            for (uint32_t i = reversed[symbol]; i < root_size; i += 1u << length)
                entries_[i] = entry;
        } else {
            const uint32_t link = entries_[reversed[symbol] & (root_size - 1)];
            const uint32_t sub_size = 1u << entry_extra(link);
            for (uint32_t i = reversed[symbol] >> root_bits; i < sub_size; i += 1u << (length - root_bits))
                entries_[entry_value(link) + i] = entry;
        }
    }
    root_bits_ = root_bits;
    root_mask_ = root_size - 1;
    return true;
}

// One run of the inflater over one stream. The output goes into a buffer holding the
// window of history followed by room for new bytes; when the room is used up, the new
// bytes go to the sink and the latest window's worth of bytes moves to the front.
class Inflater {
public:
    Inflater(std::span<const uint8_t> stream, const QelInflateSink& sink)
        : in_(stream.data()), in_end_(stream.data() + stream.size()), sink_(sink)
    {
    }

    QelInflateResult run();

private:
    static constexpr size_t room = 64 * 1024;
    // A match may start anywhere below the limit and is copied in 8-byte words.
    static constexpr size_t margin = 258 + 8;

    QelInflateResult read_header();
    QelInflateResult stored_block();
    QelInflateResult read_dynamic_tables();
    QelInflateResult compressed_block();
    void use_fixed_tables();

    // Keeps at least 56 bits in the bit buffer; past the input's end, zero bits
    // stand in and are counted, so that consuming them is noticed.
    void refill()
    {
        if (in_end_ - in_ >= 8) {
            uint64_t word;
            std::memcpy(&word, in_, 8);
            if constexpr (std::endian::native == std::endian::big)
                word = __builtin_bswap64(word);
            bits_ |= word << bit_count_;
            in_ += (63 - bit_count_) / 8;
            bit_count_ |= 56;
            return;
        }
        while (bit_count_ <= 56) {
            uint64_t byte = 0;
            if (in_ < in_end_)
                byte = *in_++;
            else
                padding_bits_ += 8;
            bits_ |= byte << bit_count_;
            bit_count_ += 8;
        }
    }
    void consume(unsigned count)
    {
        bits_ >>= count;
        bit_count_ -= count;
    }
    uint32_t take(unsigned count)
    {
        const uint32_t value = uint32_t(bits_ & ((uint64_t(1) << count) - 1));
        consume(count);
        return value;
    }
    bool past_end() const { return bit_count_ < padding_bits_; }
    QelInflateResult bad_code() const { return past_end() ? QelInflateResult::truncated : QelInflateResult::bad_data; }

    bool flush();
    bool make_room();
    void copy_match(size_t distance, size_t length);

    const uint8_t* in_;
    const uint8_t* const in_end_;
    uint64_t bits_ = 0;
    unsigned bit_count_ = 0;
    unsigned padding_bits_ = 0;

    const QelInflateSink& sink_;
    std::vector<uint8_t> buffer_;
    size_t window_size_ = 0;
    size_t limit_ = 0;
    size_t position_ = 0;
    size_t flushed_ = 0;

    HuffmanTable literals_;
    HuffmanTable distances_;
};

QelInflateResult Inflater::run()
{
    QelInflateResult result = read_header();
    if (result != QelInflateResult::finished)
        return result;
    limit_ = window_size_ + room;
    buffer_.resize(limit_ + margin);

    bool last = false;
    while (!last) {
        refill();
        last = take(1);
        const unsigned type = take(2);
        if (past_end())
            result = QelInflateResult::truncated;
        else if (type == 0)
            result = stored_block();
        else if (type == 1) {
            use_fixed_tables();
            result = compressed_block();
        } else if (type == 2) {
            result = read_dynamic_tables();
            if (result == QelInflateResult::finished)
                result = compressed_block();
        } else
            result = QelInflateResult::bad_data;

        if (result == QelInflateResult::stopped)
            return result;
        if (result != QelInflateResult::finished) {
            // What was decoded before the fault still goes out.
            flush();
            return result;
        }
    }
    return flush() ? QelInflateResult::finished : QelInflateResult::stopped;
}

QelInflateResult Inflater::read_header()
{
    if (in_end_ - in_ < 2)
        return QelInflateResult::truncated;
    const uint8_t method_and_window = in_[0];
    const uint8_t flags = in_[1];
    in_ += 2;
    const unsigned window_bits = method_and_window >> 4;
    if ((method_and_window & 0x0F) != 8 || window_bits > 7)
        return QelInflateResult::bad_header;
    if (flags & 0x20)
        return QelInflateResult::preset_dictionary;
    window_size_ = size_t(256) << window_bits;
    return QelInflateResult::finished;
}

QelInflateResult Inflater::stored_block()
{
    consume(bit_count_ % 8);
    if (past_end())
        return QelInflateResult::truncated;
    // The length fields are whole bytes: hand the buffered bytes back to the input.
    in_ -= (bit_count_ - padding_bits_) / 8;
    bits_ = 0;
    bit_count_ = 0;
    padding_bits_ = 0;
    if (in_end_ - in_ < 4)
        return QelInflateResult::truncated;
    size_t length = size_t(in_[0] | in_[1] << 8);
    const unsigned complement = unsigned(in_[2] | in_[3] << 8);
    in_ += 4;
    if (length != (~complement & 0xFFFF))
        return QelInflateResult::bad_data;
    while (length > 0) {
        if (position_ >= limit_ && !make_room())
            return QelInflateResult::stopped;
        const size_t count = std::min({length, limit_ - position_, size_t(in_end_ - in_)});
        if (count == 0)
            return QelInflateResult::truncated;
        std::memcpy(buffer_.data() + position_, in_, count);
        position_ += count;
        in_ += count;
        length -= count;
    }
    return QelInflateResult::finished;
}

void Inflater::use_fixed_tables()
{
    std::array<uint8_t, 288> lengths;
    std::fill(lengths.begin(), lengths.begin() + 144, 8);
    std::fill(lengths.begin() + 144, lengths.begin() + 256, 9);
    std::fill(lengths.begin() + 256, lengths.begin() + 280, 7);
    std::fill(lengths.begin() + 280, lengths.end(), 8);
    literals_.build(lengths.data(), 288, literal_meanings.data(), literal_root_bits);
    std::fill(lengths.begin(), lengths.begin() + 32, 5);
    distances_.build(lengths.data(), 32, distance_meanings.data(), distance_root_bits);
}

QelInflateResult Inflater::read_dynamic_tables()
{
    refill();
    const unsigned literal_count = take(5) + 257;
    const unsigned distance_count = take(5) + 1;
    const unsigned code_length_count = take(4) + 4;
    if (literal_count > 286 || distance_count > 30)
        return QelInflateResult::bad_data;

    static constexpr uint8_t order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    std::array<uint8_t, 19> code_length_lengths{};
    for (unsigned i = 0; i < code_length_count; ++i) {
        refill();
        code_length_lengths[order[i]] = uint8_t(take(3));
    }
    if (past_end())
        return QelInflateResult::truncated;
    HuffmanTable code_lengths;
    if (!code_lengths.build(code_length_lengths.data(), 19, code_length_meanings.data(), code_length_root_bits))
        return QelInflateResult::bad_data;

    std::array<uint8_t, 286 + 30> lengths{};
    const unsigned total = literal_count + distance_count;
    for (unsigned i = 0; i < total;) {
        refill();
        const uint32_t entry = code_lengths.lookup(bits_);
        consume(entry_length(entry));
        if (entry_kind(entry) != literal)
            return bad_code();
        const unsigned symbol = entry_value(entry);
        if (symbol < 16) {
            lengths[i++] = uint8_t(symbol);
            continue;
        }
        uint8_t repeated = 0;
        unsigned times;
        if (symbol == 16) {
            if (i == 0)
                return QelInflateResult::bad_data;
            repeated = lengths[i - 1];
            times = 3 + take(2);
        } else if (symbol == 17) {
            times = 3 + take(3);
        } else {
            times = 11 + take(7);
        }
        if (times > total - i)
            return bad_code();
        std::fill_n(lengths.begin() + i, times, repeated);
        i += times;
    }
    if (past_end())
        return QelInflateResult::truncated;
    if (lengths[256] == 0)
        return QelInflateResult::bad_data;
    if (!literals_.build(lengths.data(), literal_count, literal_meanings.data(), literal_root_bits)
        || !distances_.build(lengths.data() + literal_count, distance_count, distance_meanings.data(),
                             distance_root_bits))
        return QelInflateResult::bad_data;
    return QelInflateResult::finished;
}

QelInflateResult Inflater::compressed_block()
{
    for (;;) {
        if (position_ >= limit_ && !make_room())
            return QelInflateResult::stopped;
        // One refill covers the longest symbol: 15 + 5 bits of length, 15 + 13 of distance.
        refill();
        const uint32_t entry = literals_.lookup(bits_);
        consume(entry_length(entry));
        const Kind kind = entry_kind(entry);
        if (kind == literal) {
            if (past_end())
                return QelInflateResult::truncated;
            buffer_[position_++] = uint8_t(entry_value(entry));
            continue;
        }
        if (kind == end_of_block)
            return past_end() ? QelInflateResult::truncated : QelInflateResult::finished;
        if (kind != base_and_extra)
            return bad_code();

        const size_t length = entry_value(entry) + take(entry_extra(entry));
        const uint32_t distance_entry = distances_.lookup(bits_);
        consume(entry_length(distance_entry));
        if (entry_kind(distance_entry) != base_and_extra)
            return bad_code();
        const size_t distance = entry_value(distance_entry) + take(entry_extra(distance_entry));
        if (past_end())
            return QelInflateResult::truncated;
        if (distance > position_ || distance > window_size_)
            return QelInflateResult::bad_data;
        copy_match(distance, length);
    }
}

void Inflater::copy_match(size_t distance, size_t length)
{
    uint8_t* to = buffer_.data() + position_;
    const uint8_t* from = to - distance;
    position_ += length;
    if (distance >= 8) {
        // Whole words, each read from bytes already final; the last one may spill
        // up to 7 bytes past the match into the margin.
        const uint8_t* const end = to + length;
        do {
            std::memcpy(to, from, 8);
            to += 8;
            from += 8;
        } while (to < end);
    } else if (distance == 1) {
        std::memset(to, *from, length);
    } else {
        for (size_t i = 0; i < length; ++i)
            to[i] = from[i];
    }
}

bool Inflater::flush()
{
    if (position_ == flushed_)
        return true;
    const std::span<const uint8_t> run(buffer_.data() + flushed_, position_ - flushed_);
    flushed_ = position_;
    return sink_(run);
}

bool Inflater::make_room()
{
    if (!flush())
        return false;
    std::memmove(buffer_.data(), buffer_.data() + position_ - window_size_, window_size_);
    position_ = flushed_ = window_size_;
    return true;
}

} // namespace

QelInflateResult qel_inflate(std::span<const uint8_t> stream, const QelInflateSink& sink)
{
    return Inflater(stream, sink).run();
}
