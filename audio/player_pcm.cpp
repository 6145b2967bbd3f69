#include "audio/player_pcm.h"

#include <algorithm>
#include <array>
#include <cstring>
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
// and keeps six buffers of 200 ms queued. Everything it holds is guarded by the
// owner's consumer lock, the lock that linking takes too, so that relinking the
// provider and refilling never overlap.
class PlayerPCMImpl final : public liba::Thread {
public:
    explicit PlayerPCMImpl(PlayerPCM& owner);
    ~PlayerPCMImpl() override;

    bool play();
    bool stop();
    bool is_finished();
    int queued_frames();

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
    void reset();
    bool any_queued() const;
    liba::Mutex& lock() { return owner_.consumer_lock(); }

    PlayerPCM& owner_;
    std::unique_ptr<platform::WaveformOut> device_;
    std::array<OutputBuffer, buffer_count> buffers_;
    double volume_ = 1.0;
    platform::PcmFormat device_format_;
    std::size_t buffer_size_ = 0;
    int fetched_ = 0;
    PCMData leftover_;
    liba::Event ready_;
    platform::ThreadId thread_ = 0; // written before ready_ is set
    State state_ = State::stopped;
    bool play_wanted_ = false;
    bool finished_ = true;
    bool reset_pending_ = false;
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
        liba::Lock guard(lock());
        play_wanted_ = true;
        finished_ = false;
    }
    return post_command();
}

bool PlayerPCMImpl::stop()
{
    ready_.wait();
    {
        liba::Lock guard(lock());
        play_wanted_ = false;
        finished_ = true;
        reset_pending_ = true;
    }
    return post_command();
}

bool PlayerPCMImpl::is_finished()
{
    liba::Lock guard(lock());
    return finished_;
}

int PlayerPCMImpl::queued_frames()
{
    liba::Lock guard(lock());
    if (!device_)
        return 0;
    const std::optional<std::int64_t> played = device_->position();
    if (!played)
        return 0;
    return static_cast<int>(std::max<std::int64_t>(0, fetched_ - *played));
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
        device_.reset();
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
    if (play_wanted_ && reset_pending_) {
        reset_pending_ = false;
        // A stop came since the last command. Still playing, the stop was not seen:
        // drop what it would have dropped. Either way, play again at once instead of
        // waiting for the old device to drain and close.
        if (state_ == State::playing)
            leftover_ = PCMData();
        if (state_ != State::stopped)
            reset();
    }
    if (play_wanted_ && state_ == State::stopped) {
        if (leftover_.empty())
            leftover_ = fetch();
        if (!leftover_.empty()) {
            device_format_ = {leftover_.channels, leftover_.bits, leftover_.sample_rate};
            state_ = State::playing;
            open_device();
        } else if (!any_queued()) {
            finished_ = true;
        }
    }
    if (!play_wanted_ && state_ == State::playing) {
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
    if (state_ != State::draining)
        return;
    reset();
    // A block of another format waits in the leftover: play goes on with it on the
    // next device, so the end has not been reached.
    if (leftover_.empty())
        finished_ = true;
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
    device_ = platform::WaveformOut::open(device_format_, thread_);
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
    // The block that waits to be played on this device counts as fetched: the lag is
    // everything not yet played, or the sound's position runs ahead by that block.
    fetched_ = leftover_.frames();
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
    PCMData block = owner_.pull(pull_frames);
    fetched_ += block.frames();
    return block;
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
    device_.reset();
    state_ = State::stopped;
    fetched_ = 0;
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

} // namespace audio
