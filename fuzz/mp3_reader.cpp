// links: audio
// Opens fuzzed bytes as an MP3 file and pumps and pulls them through FileReaderMP3 and
// DecoderMP3, the way a play chain links them.

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

#include "audio/decoder_mp3.h"
#include "audio/file_reader_mp3.h"
#include "liba/text.h"

namespace {

class CheckingConsumer : public audio::Consumer<audio::PCMData> {
public:
    void on_data(const audio::PCMData& block) override
    {
        if (!block.empty() && (block.bits != 16 || block.channels < 1 || block.channels > 2 ||
                               block.length() % block.bytes_per_frame() != 0))
            __builtin_trap();
    }
};

// The readers open files by name; a memory file under /proc/self/fd stands for one.
const std::u16string& memory_file_name(int& descriptor)
{
    static int fd = memfd_create("mp3", 0);
    static const std::u16string name = liba::to_wide("/proc/self/fd/" + std::to_string(fd));
    descriptor = fd;
    return name;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    int fd = -1;
    const std::u16string& name = memory_file_name(fd);
    if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))
        return 0;

    audio::FileReaderMP3 reader(name);
    audio::DecoderMP3 decoder;
    reader.connect(&decoder);
    CheckingConsumer consumer;
    decoder.connect(&consumer);
    if (!reader.is_open())
        return 0;
    const int length = reader.length();
    reader.seek(reader.seconds_to_position(0.01));
    reader.pump(length / 4 + 1);
    reader.seek(length / 2);
    while (!reader.is_eof()) {
        const int before = reader.position();
        reader.pump(5000);
        if (reader.position() <= before)
            break;
    }
    reader.seek(0);
    reader.pump_seconds(0.05);

    // Pull mode: the consumer asks the decoder, which pulls frames from the reader.
    reader.seek(0);
    for (int i = 0; i < 64 && !consumer.pull(1000).empty(); ++i) {
    }
    return 0;
}
