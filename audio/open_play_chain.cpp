#include <memory>

#include "audio/decoder_adpcm.h"
#include "audio/decoder_gsm.h"
#include "audio/decoder_mpc.h"
#include "audio/decoder_vorbis.h"
#include "audio/file_reader_wav_adpcm.h"
#include "audio/file_reader_wav_gsm.h"
#include "audio/file_reader_wav_pcm.h"
#include "audio/play_chain.h"
#include "audio/play_chain_mp3.h"

namespace audio {
namespace {

template <class Chain>
std::unique_ptr<PlayChain> open_chain(std::u16string_view path, std::u16string_view codec_name)
{
    auto reader = std::make_unique<typename Chain::Reader>(path);
    if (!reader->is_open())
        return nullptr;
    return std::make_unique<Chain>(std::move(reader), path, codec_name);
}

struct ChainKind {
    std::u16string_view codec_name;
    std::unique_ptr<PlayChain> (*open)(std::u16string_view path, std::u16string_view codec_name);
};

// Tried in this order; each attempt opens the file anew. MP3 comes last because its
// reader accepts any file holding two consecutive matching frame headers.
constexpr ChainKind chain_kinds[] = {
    {codec_pcm, open_chain<PlayChainReaderOnly<FileReaderWAVPCM>>},
    {codec_adpcm, open_chain<PlayChainReaderDecoder<FileReaderWAVADPCM, DecoderADPCM>>},
    {codec_gsm, open_chain<PlayChainReaderDecoder<FileReaderWAVGSM, DecoderGSM>>},
    {codec_vorbis, open_chain<PlayChainReaderOnly<DecoderVorbis>>},
    {codec_mpc, open_chain<PlayChainReaderOnly<DecoderMPC>>},
    {codec_mp3, open_chain<PlayChainMP3>},
};

} // namespace

std::unique_ptr<PlayChain> open_play_chain(std::u16string_view path)
{
    for (const ChainKind& kind : chain_kinds) {
        if (std::unique_ptr<PlayChain> chain = kind.open(path, kind.codec_name))
            return chain;
    }
    return nullptr;
}

} // namespace audio
