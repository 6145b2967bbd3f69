#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include "audio/play_chain.h"
#include "audio/player_pcm.h"
#include "liba/nocopy.h"

// The file being played while the user marks a fragment: its play chain linked to the
// one player of the main form's life. Positions are in the reader's own unit.
class Playback : liba::Nocopy {
public:
    Playback();
    ~Playback();

    // Opens the file, seeks to `from` when it is past the start and plays it. False,
    // with nothing playing, when it cannot be opened or played.
    bool play(std::u16string_view path, int from);
    void stop();

    bool is_playing() const { return chain_ != nullptr; }
    bool is_finished() { return player_.is_finished(); }
    // Where the sound being heard is: the reader's position less what the player
    // still holds; 0 without a file.
    int position();
    // The file's length; 0 without a file.
    int length();
    void seek(int position);

private:
    audio::PlayerPCM player_;
    std::unique_ptr<audio::PlayChain> chain_;
};

// The length of a file in its reader's unit, or nothing when no chain can read it.
std::optional<int> file_length(std::u16string_view path);
