#pragma once

#include <string>
#include <string_view>

#include "audio/decoder_mp3.h"
#include "audio/file_reader_mp3.h"
#include "audio/play_chain.h"

namespace audio {

// MP3 files; the title comes from the file's ID3v1 tag when it has one.
class PlayChainMP3 : public PlayChainReaderDecoder<FileReaderMP3, DecoderMP3> {
public:
    PlayChainMP3(std::unique_ptr<FileReaderMP3> reader, std::u16string_view path, std::u16string_view codec_name);
};

// The title field of the file's ID3v1 tag, without its padding; empty when there is
// no tag or no title.
std::u16string read_id3v1_title(std::u16string_view path);

} // namespace audio
