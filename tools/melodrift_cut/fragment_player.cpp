#include "tools/melodrift_cut/fragment_player.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

#include "audio/play_chain.h"
#include "audio/play_position.h"
#include "audio/player_pcm.h"
#include "tools/melodrift_cut/time_text.h"

namespace {

class PositionLine {
public:
    explicit PositionLine(double total) : shown_(isatty(STDERR_FILENO)), total_(format_time(total)) {}

    void show(double seconds)
    {
        if (!shown_)
            return;
        std::fprintf(stderr, "\rplaying %s / %s ", format_time(seconds).c_str(), total_.c_str());
        std::fflush(stderr);
    }

    void clear()
    {
        if (shown_)
            std::fprintf(stderr, "\r%*s\r", 40, "");
    }

private:
    const bool shown_;
    const std::string total_;
};

} // namespace

PlayOutcome play_fragment(std::u16string_view source, double start, double finish,
    const std::function<bool()>& should_stop)
{
    const std::unique_ptr<audio::PlayChain> chain = audio::open_play_chain(source);
    if (!chain)
        return PlayOutcome::not_readable;
    audio::FileReader& reader = *chain->file_reader();
    const int first = reader.seconds_to_position(start);
    const int last = std::min(reader.seconds_to_position(finish), reader.length());
    const double total = reader.position_to_seconds(last) - reader.position_to_seconds(first);

    // Declared after the chain, so that it ends before the chain it pulls from.
    audio::PlayerPCM player;
    chain->pcm_provider()->connect(&player);
    reader.seek(first);
    audio::PlayPosition play_position(reader, player);
    if (!player.play())
        return PlayOutcome::not_readable;

    PositionLine line(total);
    bool stopped = false;
    // Short naps keep the finish prompt; the line is redrawn about ten times a second.
    for (int nap = 0;; ++nap) {
        if (should_stop()) {
            stopped = true;
            break;
        }
        const int position = play_position.read();
        if (player.is_finished() || position >= last)
            break;
        if (nap % 10 == 0)
            line.show(std::max(0.0, reader.position_to_seconds(position) - reader.position_to_seconds(first)));
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    player.stop();
    line.clear();
    return stopped ? PlayOutcome::stopped : PlayOutcome::played;
}
