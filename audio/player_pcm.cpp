#include "audio/player_pcm.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <limits>
#include <mutex>
#include <vector>

#include "liba/log.h"
#include "liba/thread.h"
#include "platform/base/message_queue.h"
#include "platform/sound/waveform_out.h"

namespace audio {

namespace {

constexpr int buffer_count = 6;
constexpr int buffer_milliseconds = 200;
constexpr int pull_frames = 16384;
constexpr std::uint32_t command_message = platform::messages::user; // 1024

} // namespace

// The player's worker: owns the waveform device, pulls PCM from the owner's provider
// and keeps six buffers of 200 ms queued. It handles each message under the owner's
// consumer lock, the lock that linking takes too, so that relinking the provider and
// refilling never overlap. What the user interface sets and polls (the commands, the
// end, the lag) is guarded by a small lock of its own instead, which is never held
// across a pull or a decode, so polling never waits for one.
class PlayerPCMImpl final : public liba::Thread {
public:
    explicit PlayerPCMImpl(PlayerPCM& owner);
    ~PlayerPCMImpl() override;

    bool play();
    bool stop();
    bool is_finished();
    int queued_frames();
    std::uint32_t fetches() const { return fetches_.load(); }

private:
    enum class State { stopped, playing, draining };

    struct OutputBuffer {
        std::vector<std::uint8_t> bytes;
        platform::WaveBuffer wave;
        bool queued = false;
    };

    void run() override;
    bool post_command();
    void handle(const platform::Message& message);
    void on_command();
    void on_opened();
    void on_closed();
    void on_buffer_done(const platform::WaveBuffer* wave);
    void after_buffer_returned();
    void open_device();
    bool refill();
    bool fill(OutputBuffer& buffer);
    PCMData fetch();
    void finish();
    void set_device(std::unique_ptr<platform::WaveformOut> device);
    void reset();
    bool any_queued() const;
    liba::Mutex& lock() { return owner_.consumer_lock(); }

    PlayerPCM& owner_;
    std::array<OutputBuffer, buffer_count> buffers_;
    double volume_ = 1.0;
    platform::PcmFormat device_format_;
    std::size_t buffer_size_ = 0;
    PCMData leftover_;
    liba::Event ready_;
    platform::ThreadId thread_ = 0; // written before ready_ is set
    State state_ = State::stopped;

    // Guards what follows. Only the worker changes the device and the fetched count;
    // it reads them without the lock.
    std::mutex status_mutex_;
    std::unique_ptr<platform::WaveformOut> device_;
    // Sample frames pulled since the device's position was last 0, the block that
    // waits in the leftover included.
    std::int64_t fetched_ = 0;
    bool play_wanted_ = false;
    bool finished_ = true;
    bool reset_pending_ = false;
    // play() and stop() count here; the worker notes the count it last acted on.
    std::uint32_t requests_ = 0;
    std::uint32_t requests_seen_ = 0;
    // Counts up before and after each pull: odd while one is under way.
    std::atomic<std::uint32_t> fetches_{0};
};

PlayerPCMImpl::PlayerPCMImpl(PlayerPCM& owner) : owner_(owner)
{
    start();
}

PlayerPCMImpl::~PlayerPCMImpl()
{
    request_stop();
    post_command();
    join();
}

bool PlayerPCMImpl::play()
{
    ready_.wait();
    {
        std::lock_guard guard(status_mutex_);
        play_wanted_ = true;
        finished_ = false;
        ++requests_;
    }
    return post_command();
}

bool PlayerPCMImpl::stop()
{
    ready_.wait();
    {
        std::lock_guard guard(status_mutex_);
        play_wanted_ = false;
        finished_ = true;
        reset_pending_ = true;
        ++requests_;
    }
    return post_command();
}

bool PlayerPCMImpl::is_finished()
{
    std::lock_guard guard(status_mutex_);
    return finished_;
}

int PlayerPCMImpl::queued_frames()
{
    std::lock_guard guard(status_mutex_);
    std::int64_t played = 0;
    if (device_) {
        const std::optional<std::int64_t> position = device_->position();
        // A closed device played everything written to it.
        if (!position)
            return 0;
        played = *position;
    }
    return static_cast<int>(std::clamp<std::int64_t>(fetched_ - played, 0, std::numeric_limits<int>::max()));
}

bool PlayerPCMImpl::post_command()
{
    ready_.wait();
    return platform::post_thread_message(thread_, command_message);
}

void PlayerPCMImpl::run()
{
    set_priority(1);
    thread_ = platform::current_thread_id();
    ready_.set();
    platform::Message message;
    while (!stop_requested() && platform::get_message(message)) {
        liba::Lock guard(lock());
        handle(message);
    }
    liba::Lock guard(lock());
    if (device_) {
        device_->reset();
        for (OutputBuffer& buffer : buffers_)
            device_->unprepare(buffer.wave);
        set_device(nullptr);
    }
}

void PlayerPCMImpl::handle(const platform::Message& message)
{
    if (message.message == command_message) {
        on_command();
        return;
    }
    // Notices of a device that was given up (closed or replaced) come late; its
    // buffers may already be queued on the next device.
    if (!device_ || message.wparam != device_->id())
        return;
    switch (message.message) {
    case platform::messages::wave_out_open:
        on_opened();
        break;
    case platform::messages::wave_out_close:
        on_closed();
        break;
    case platform::messages::wave_out_done:
        on_buffer_done(reinterpret_cast<const platform::WaveBuffer*>(message.lparam));
        break;
    default:
        break;
    }
}

void PlayerPCMImpl::on_command()
{
    bool play_wanted = false;
    bool restart = false;
    {
        std::lock_guard guard(status_mutex_);
        play_wanted = play_wanted_;
        restart = play_wanted_ && reset_pending_;
        if (restart)
            reset_pending_ = false;
        requests_seen_ = requests_;
    }
    if (restart) {
        // A stop came since the last command: nothing fetched before it plays, and play
        // starts again at once instead of waiting for the old device to drain and close.
        leftover_ = PCMData();
        if (state_ != State::stopped)
            reset();
    }
    if (play_wanted && state_ == State::stopped) {
        if (leftover_.empty())
            leftover_ = fetch();
        if (!leftover_.empty()) {
            device_format_ = {leftover_.channels, leftover_.bits, leftover_.sample_rate};
            state_ = State::playing;
            open_device();
        } else if (!any_queued()) {
            finish();
        }
    }
    if (!play_wanted && state_ == State::playing) {
        state_ = State::draining;
        leftover_ = PCMData();
        if (device_)
            device_->reset();
        else
            reset(); // the device never opened: nothing will come back
    }
}

void PlayerPCMImpl::on_opened()
{
    const auto level = static_cast<std::uint16_t>(65535 * std::clamp(volume_, 0.0, 1.0));
    device_->set_volume(level, level);
    after_buffer_returned();
}

void PlayerPCMImpl::on_closed()
{
    // The command that the reset posts goes on with a block of another format waiting
    // in the leftover, or finds the end of the sound.
    if (state_ == State::draining)
        reset();
}

void PlayerPCMImpl::on_buffer_done(const platform::WaveBuffer* wave)
{
    const auto found = std::find_if(buffers_.begin(), buffers_.end(),
        [wave](const OutputBuffer& buffer) { return &buffer.wave == wave; });
    if (found == buffers_.end() || !found->queued)
        return;
    found->queued = false;
    device_->unprepare(found->wave);
    after_buffer_returned();
}

void PlayerPCMImpl::after_buffer_returned()
{
    if (state_ == State::playing && !refill())
        state_ = State::draining;
    if (state_ == State::draining && !any_queued())
        device_->close();
}

void PlayerPCMImpl::open_device()
{
    set_device(platform::WaveformOut::open(device_format_, thread_));
    if (!device_) {
        liba::log() << "PlayerPCMImpl::open_device: cannot play " << device_format_.channels << " channels, "
                    << device_format_.bits << " bits, " << device_format_.sample_rate << " Hz\n";
        return;
    }
    const int frames = std::max(1, device_format_.sample_rate * buffer_milliseconds / 1000);
    const std::size_t size = static_cast<std::size_t>(device_format_.block_align()) * frames;
    if (size != buffer_size_) {
        buffer_size_ = size;
        for (OutputBuffer& buffer : buffers_)
            buffer.bytes.assign(size, 0);
    }
    for (OutputBuffer& buffer : buffers_)
        buffer.queued = false;
}

bool PlayerPCMImpl::refill()
{
    for (OutputBuffer& buffer : buffers_) {
        if (buffer.queued)
            continue;
        const bool full = fill(buffer);
        buffer.queued = true;
        device_->prepare(buffer.wave);
        device_->write(buffer.wave);
        if (!full)
            return false;
    }
    return true;
}

bool PlayerPCMImpl::fill(OutputBuffer& buffer)
{
    std::size_t length = 0;
    bool full = true;
    while (length < buffer_size_) {
        if (leftover_.empty()) {
            leftover_ = fetch();
            if (leftover_.empty() || !(platform::PcmFormat{leftover_.channels, leftover_.bits, leftover_.sample_rate} ==
                                         device_format_)) {
                full = false;
                break;
            }
        }
        const auto count = std::min<std::size_t>(leftover_.length(), buffer_size_ - length);
        std::memcpy(buffer.bytes.data() + length, leftover_.data(), count);
        length += count;
        leftover_ = PCMData(leftover_.sub(static_cast<int32_t>(count), leftover_.length() - static_cast<int32_t>(count)),
            leftover_.channels, leftover_.bits, leftover_.sample_rate);
    }
    buffer.wave.data = buffer.bytes.data();
    buffer.wave.length = static_cast<std::uint32_t>(length);
    return full;
}

PCMData PlayerPCMImpl::fetch()
{
    fetches_.fetch_add(1);
    PCMData block = owner_.pull(pull_frames);
    {
        std::lock_guard guard(status_mutex_);
        fetched_ += block.frames();
    }
    fetches_.fetch_add(1);
    return block;
}

void PlayerPCMImpl::finish()
{
    // A play or stop that came since the worker last read the commands decides instead:
    // the end of the sound before it is not the end of the sound it asks for.
    std::lock_guard guard(status_mutex_);
    if (requests_ == requests_seen_)
        finished_ = true;
}

void PlayerPCMImpl::set_device(std::unique_ptr<platform::WaveformOut> device)
{
    {
        std::lock_guard guard(status_mutex_);
        device_.swap(device);
        // The block that waits in the leftover is fetched and not played yet.
        fetched_ = leftover_.frames();
    }
    // The old device goes outside the lock: closing it waits for its output.
}

void PlayerPCMImpl::reset()
{
    // A device given up while draining may still hold buffers: take them back first.
    if (device_)
        device_->reset();
    for (OutputBuffer& buffer : buffers_) {
        if (buffer.queued && device_)
            device_->unprepare(buffer.wave);
        buffer.queued = false;
    }
    set_device(nullptr);
    state_ = State::stopped;
    device_format_ = {};
    post_command();
}

bool PlayerPCMImpl::any_queued() const
{
    return std::any_of(buffers_.begin(), buffers_.end(), [](const OutputBuffer& buffer) { return buffer.queued; });
}

PlayerPCM::PlayerPCM() : worker_(std::make_unique<PlayerPCMImpl>(*this)) {}

void PlayerPCM::on_data(const PCMData&)
{
    liba::fatal_error(u"PlayerPCM::on_data", u"on_data unexpected - player is active object");
}

PlayerPCM::~PlayerPCM() = default;

bool PlayerPCM::play() { return worker_->play(); }

bool PlayerPCM::stop() { return worker_->stop(); }

bool PlayerPCM::is_finished() { return worker_->is_finished(); }

int PlayerPCM::queued_frames() { return worker_->queued_frames(); }

std::uint32_t PlayerPCM::fetches() const { return worker_->fetches(); }

} // namespace audio
