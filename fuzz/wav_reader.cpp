// links: audio
// Opens fuzzed bytes as a WAV file, seeks and pumps them through FileReaderWAVPCM.

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

#include "audio/file_reader_wav_pcm.h"
#include "liba/text.h"

namespace {

// Whole frames of a consistent format, and never more than the reader has.
class CheckingConsumer : public audio::Consumer<audio::PCMData> {
public:
    void on_data(const audio::PCMData& block) override
    {
        if (block.empty() || block.bytes_per_frame() <= 0 || block.length() % block.bytes_per_frame() != 0)
            __builtin_trap();
        delivered += block.length();
    }
    int64_t delivered = 0;
};

// The readers open files by name; a memory file under /proc/self/fd stands for one.
const std::u16string& memory_file_name(int& descriptor)
{
    static int fd = memfd_create("wav", 0);
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

    audio::FileReaderWAVPCM reader(name);
    CheckingConsumer consumer;
    reader.connect(&consumer);
    if (!reader.is_open())
        return 0;
    const int length = reader.length();
    if (length < 0 || length > static_cast<int>(size))
        __builtin_trap();
    reader.pump(5000);
    reader.seek(length / 3);
    reader.pump_seconds(0.01);
    reader.seek(reader.seconds_to_position(reader.position_to_seconds(length) / 2));
    reader.read(7);
    while (!reader.is_eof() && reader.pump(5000)) {
    }
    reader.seek(-1);
    reader.pump(length);
    if (consumer.delivered > 2 * int64_t{length} + 5000)
        __builtin_trap();
    return 0;
}
