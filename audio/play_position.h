#pragma once

#include "audio/file_reader.h"
#include "audio/player_pcm.h"

// Where the sound being heard is while a reader's chain plays through a player. The
// player counts its lag in sample frames of decoded sound; the reader's positions are in
// its own unit, so the lag is turned into that unit by the reader's own conversion.
namespace audio {

// The distance in the reader's unit that `frames` sample frames of its decoded sound
// span; 0 when the reader knows no sample rate.
int frames_to_distance(FileReader& reader, int frames);

// Reads the play position of one playback: the reader's position less the distance of
// what the player fetched and has not played yet, never before 0. Make one after
// seeking the reader and before play(). Reading never waits for the player's worker:
// while the worker is pulling, the reader may already be ahead of the player's count,
// and the last position read stands instead.
class PlayPosition {
public:
    PlayPosition(FileReader& reader, PlayerPCM& player);

    int read();

private:
    FileReader& reader_;
    PlayerPCM& player_;
    int last_;
};

} // namespace audio
