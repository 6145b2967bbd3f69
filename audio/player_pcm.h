#pragma once

#include <cstdint>
#include <memory>

#include "audio/blocks.h"
#include "audio/links.h"

namespace audio {

class PlayerPCMImpl;

// Plays the PCM of its linked provider on the waveform output. It works in pull mode
// only: a worker thread of its own asks the provider for sound as the device needs it,
// so pushing into the player is a programming error. The user interface links a
// provider, seeks the source, starts and stops the player and polls it; the player
// reports nothing by itself.
class PlayerPCM : public Consumer<PCMData> {
public:
    PlayerPCM();
    // Ends the program through the fatal-error report.
    void on_data(const PCMData& block) override;
    ~PlayerPCM() override;

    // Both answer whether the worker got the command.
    bool play();
    bool stop();
    // The queries answer at once, whatever the worker is doing: the user interface polls
    // them on a short timer.
    bool is_finished();
    // Sample frames fetched but not yet played, so that the position of the sound is
    // the source's position minus this lag (audio/play_position.h).
    int queued_frames();
    // Counts up as each pull from the provider begins and again as its frames count in
    // queued_frames(): odd while a pull is under way, when the source's position may
    // already be ahead of the lag.
    std::uint32_t fetches() const;

private:
    friend class PlayerPCMImpl;

    std::unique_ptr<PlayerPCMImpl> worker_;
};

} // namespace audio
