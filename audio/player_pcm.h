#pragma once

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
    bool is_finished();
    // Sample frames fetched but not yet played, so that the position of the sound is
    // the source's position minus this lag; 0 when no device is open.
    int queued_frames();

private:
    friend class PlayerPCMImpl;

    std::unique_ptr<PlayerPCMImpl> worker_;
};

} // namespace audio
