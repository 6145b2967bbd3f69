#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Byte streams with a size and a position. Failures are not thrown: each stream
// keeps a list of error messages, and once it holds one every operation does nothing
// and answers 0 (false for seek).
namespace liba {

class ErrorBase {
public:
    virtual void add_error(const std::u16string& message);
    virtual ~ErrorBase() = default;

    bool ok() const { return errors_.empty(); }
    const std::vector<std::u16string>& errors() const { return errors_; }

private:
    std::vector<std::u16string> errors_;
};

class StreamReader : public virtual ErrorBase {
public:
    virtual int32_t read(void* buffer, int32_t count) = 0;
    virtual int32_t skip(int32_t count) = 0;
};

class ResourceReader : public StreamReader {
public:
    virtual int32_t size() = 0;
    virtual bool seek(int32_t position) = 0;
    virtual int32_t tell() = 0;
};

class StreamWriter : public virtual ErrorBase {
public:
    virtual int32_t write(const void* buffer, int32_t count) = 0;
};

class ResourceWriter : public StreamWriter {
public:
    virtual int32_t size() = 0;
    virtual bool seek(int32_t position) = 0;
    virtual int32_t tell() = 0;
};

// One object with both interfaces and one error list.
class ResourceReaderWriterBase : public ResourceReader, public ResourceWriter {};

// Little-endian values; a short read gives 0.
uint32_t read_u32(StreamReader& reader);
uint16_t read_u16(StreamReader& reader);

// The rest of a text file, at most max bytes: UTF-16LE when it starts with the
// byte-order mark FF FE and has an even length, else 8-bit text (liba::text_to_wide).
// A short read gives an empty text.
std::u16string read_text(ResourceReader& reader, int32_t max);

} // namespace liba
