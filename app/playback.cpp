#include "app/playback.h"

#include "audio/play_position.h"

Playback::Playback() = default;

Playback::~Playback() { stop(); }

bool Playback::play(std::u16string_view path, int from)
{
    std::unique_ptr<audio::PlayChain> chain = audio::open_play_chain(path);
    if (!chain) {
        stop();
        return false;
    }
    stop();
    chain_ = std::move(chain);
    chain_->pcm_provider()->connect(&player_);
    if (from > 0)
        chain_->file_reader()->seek(from);
    if (player_.play())
        return true;
    stop();
    return false;
}

void Playback::stop()
{
    player_.stop();
    if (!chain_)
        return;
    chain_->pcm_provider()->connect(nullptr);
    chain_.reset();
}

int Playback::position()
{
    if (!chain_)
        return 0;
    return audio::PlayPosition(*chain_->file_reader(), player_).read();
}

int Playback::length() { return chain_ ? chain_->file_reader()->length() : 0; }

void Playback::seek(int position)
{
    if (chain_)
        chain_->file_reader()->seek(position);
}

std::optional<int> file_length(std::u16string_view path)
{
    const std::unique_ptr<audio::PlayChain> chain = audio::open_play_chain(path);
    if (!chain)
        return std::nullopt;
    return chain->file_reader()->length();
}
