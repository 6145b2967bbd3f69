#include "app/ringtone_job.h"

#include <algorithm>

#include "app/simple_processor.h"
#include "audio/encoder_mp3.h"
#include "audio/file_writer_mp3.h"
#include "audio/pcm_recorder.h"
#include "os/atomic_file.h"
#include "os/path.h"

namespace {

// Position units per pump: small enough that a stop request is seen often and the
// progress moves smoothly.
constexpr int pump_step = 5000;
// The first pass keeps the fragment's PCM up to this size, so that the second pass
// encodes exactly what was measured without decoding it again.
constexpr int64_t kept_pcm_bytes = int64_t{64} << 20;

// The most a quiet fragment is raised: 24 dB (x 15.85). A fragment at the digital
// floor (dither, the tail of a fade) stays quiet instead of becoming loud hiss.
constexpr Fraction max_gain = {1585, 100};

// The gain that lifts peak to three quarters of full scale, at most max_gain; 0/0
// (none) when it is already there. A silent fragment (peak 0/0) gets 0/0 too.
Fraction gain_for(Fraction peak)
{
    if (!fraction_greater({3, 4}, peak))
        return {};
    const Fraction lift = {3 * peak.denominator, 4 * peak.numerator};
    return fraction_greater(lift, max_gain) ? max_gain : lift;
}

} // namespace

RingtoneJob::RingtoneJob(std::u16string_view source, std::u16string_view target, int start, int finish,
                         Listener* listener)
    : chain_(audio::open_play_chain(source)),
      source_(source),
      target_(target),
      start_(start),
      finish_(finish),
      listener_(listener)
{
    if (!chain_)
        return;
    audio::FileReader& reader = *chain_->file_reader();
    source_bit_rate_ = reader.bit_rate();
    if (chain_->codec_name() == audio::codec_mp3) {
        const int channels = reader.channels();
        if ((channels >= 2 && source_bit_rate_ >= 128000) || (channels == 1 && source_bit_rate_ > 64000))
            target_bit_rate_ = 64000;
    } else if (reader.sample_rate() > 44099 && reader.bits_per_sample() > 15) {
        target_bit_rate_ = 64000;
    }
}

RingtoneJob::~RingtoneJob() { stop(); }

double RingtoneJob::estimated_bytes() const
{
    if (!chain_)
        return 0;
    audio::FileReader& reader = *chain_->file_reader();
    const double seconds = reader.position_to_seconds(finish_) - reader.position_to_seconds(start_);
    return seconds * target_bit_rate_ / 8;
}

bool RingtoneJob::has_room() const
{
    const std::u16string folder = os::directory_part(target_);
    return os::free_space(folder.empty() ? std::u16string_view(u".") : std::u16string_view(folder)) >
           estimated_bytes();
}

std::optional<RingtoneJob::Outcome> RingtoneJob::target_refusal() const
{
    if (os::same_file(source_, target_))
        return Outcome::target_is_source;
    switch (os::target_problem(os::native_path(target_))) {
    case os::TargetProblem::folder_missing:
        return Outcome::target_folder_missing;
    case os::TargetProblem::not_a_file:
        return Outcome::target_not_a_file;
    case os::TargetProblem::none:
        break;
    }
    return std::nullopt;
}

void RingtoneJob::stop()
{
    request_stop();
    join();
}

void RingtoneJob::run()
{
    pass_ = 1;
    set_progress(0);
    if (listener_)
        listener_->on_job_started();
    outcome_ = convert();
}

RingtoneJob::Outcome RingtoneJob::convert()
{
    if (!chain_)
        return Outcome::source_not_recognised;
    if (start_ >= finish_)
        return Outcome::empty_fragment;
    if (const std::optional<Outcome> refusal = target_refusal())
        return *refusal;
    // Made before the first pass, so that a target that cannot be written fails at once.
    audio::FileWriterMP3 writer(target_, false);
    if (!writer.is_ok())
        return Outcome::cannot_create_target;
    audio::FileReader& reader = *chain_->file_reader();
    audio::Provider<audio::PCMData>& pcm = *chain_->pcm_provider();

    SimpleProcessor processor;
    audio::PCMRecorder recorder(kept_pcm_bytes);
    recorder.connect(&processor);
    pcm.connect(&recorder);
    reader.seek(start_);
    if (listener_)
        listener_->on_pass_started(1);
    pump_fragment(reader);
    pcm.connect(nullptr);
    if (stop_requested())
        return Outcome::stopped;

    const Fraction gain = gain_for(processor.peak());
    processor.set_gain(gain.numerator, gain.denominator);

    pass_ = 2;
    set_progress(0);
    audio::EncoderMP3 encoder(target_bit_rate_);
    processor.connect(&encoder);
    encoder.connect(&writer);
    if (listener_)
        listener_->on_pass_started(2);
    if (recorder.is_complete()) {
        replay(recorder);
    } else {
        pcm.connect(&processor);
        reader.seek(start_);
        pump_fragment(reader);
        pcm.connect(nullptr);
    }
    // A stopped ring tone is never finished: the writer leaves no file behind.
    if (stop_requested())
        return Outcome::stopped;
    encoder.finish();
    if (!writer.finish())
        return writer.is_ok() ? Outcome::nothing_encoded : Outcome::write_failed;
    return Outcome::made;
}

void RingtoneJob::pump_fragment(audio::FileReader& reader)
{
    while (!stop_requested()) {
        if (reader.is_eof())
            return;
        const int position = reader.position();
        if (position >= finish_)
            return;
        report_progress(std::clamp((double(position) - start_) / (double(finish_) - start_), 0.0, 1.0));
        reader.pump(std::min(pump_step, finish_ - position));
        // A file shorter than its header claims delivers nothing without reaching its end.
        if (reader.position() == position)
            return;
    }
}

void RingtoneJob::report_progress(double fraction)
{
    set_progress(fraction);
    if (listener_)
        listener_->on_progress(pass(), fraction);
}

void RingtoneJob::replay(audio::PCMRecorder& recorder)
{
    const double total = double(recorder.bytes());
    int64_t done = 0;
    for (const audio::PCMData& block : recorder.blocks()) {
        if (stop_requested())
            return;
        report_progress(done / total);
        recorder.push(block);
        done += block.length();
    }
}
