#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "audio/blocks.h"
#include "audio/file_reader.h"
#include "audio/links.h"
#include "os/path.h"

// A play chain is everything needed to get 16-bit PCM out of one file: its reader and,
// for coded formats, a block decoder linked behind it. Callers link pcm_provider() to
// their own consumer and drive file_reader() (seek, pump, position).
namespace audio {

inline constexpr std::u16string_view codec_pcm = u"PCM";
inline constexpr std::u16string_view codec_adpcm = u"ADPCM";
inline constexpr std::u16string_view codec_gsm = u"GSM";
inline constexpr std::u16string_view codec_vorbis = u"Vorbis";
inline constexpr std::u16string_view codec_mpc = u"MPC";
inline constexpr std::u16string_view codec_mp3 = u"mp3";

class PlayChain {
public:
    virtual ~PlayChain() = default;
    virtual Provider<PCMData>* pcm_provider() = 0;
    virtual FileReader* file_reader() = 0;
    virtual std::u16string codec_name() const = 0;
    virtual std::u16string title() const = 0;
};

// Owns the reader; the title starts as the file name, extension included.
template <class R>
class PlayChainReaderOnlyBase : public PlayChain {
public:
    using Reader = R;

    PlayChainReaderOnlyBase(std::unique_ptr<R> reader, std::u16string_view path, std::u16string_view codec_name)
        : codec_name_(codec_name), reader_(std::move(reader)), title_(os::file_name(path))
    {
    }

    FileReader* file_reader() override { return reader_.get(); }
    std::u16string codec_name() const override { return codec_name_; }
    std::u16string title() const override { return title_; }

protected:
    R& reader() { return *reader_; }
    void set_title(std::u16string title) { title_ = std::move(title); }

private:
    std::u16string codec_name_;
    std::unique_ptr<R> reader_;
    std::u16string title_;
};

// A reader that decodes to PCM itself.
template <class R>
class PlayChainReaderOnly : public PlayChainReaderOnlyBase<R> {
public:
    using PlayChainReaderOnlyBase<R>::PlayChainReaderOnlyBase;

    Provider<PCMData>* pcm_provider() override { return &this->reader(); }
};

// A reader of coded blocks with its block decoder linked behind it: pump on the reader
// pushes through the decoder, a pull on the decoder pulls from the reader.
template <class R, class D>
class PlayChainReaderDecoder : public PlayChainReaderOnlyBase<R> {
public:
    PlayChainReaderDecoder(std::unique_ptr<R> reader, std::u16string_view path, std::u16string_view codec_name)
        : PlayChainReaderOnlyBase<R>(std::move(reader), path, codec_name), decoder_(std::make_unique<D>())
    {
        this->reader().connect(decoder_.get());
    }

    Provider<PCMData>* pcm_provider() override { return decoder_.get(); }

private:
    std::unique_ptr<D> decoder_;
};

// The chain for the file at path, recognised by its contents (never by its name), or
// null when no reader recognises it.
std::unique_ptr<PlayChain> open_play_chain(std::u16string_view path);

} // namespace audio
