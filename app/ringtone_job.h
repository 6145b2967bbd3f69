#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "audio/play_chain.h"
#include "liba/thread.h"

namespace audio {
class PCMRecorder;
}

// Turns the fragment [start, finish) of a source file (positions in its reader's unit)
// into a mono MP3 ring tone, on a worker thread of its own. A first pass measures the
// fragment's loudest frame; a second pass raises that peak to three quarters of full
// scale when it lies below (by 24 dB at most), mixes down to mono and encodes at 32 or
// 64 kbit/s.
//
// Fronts add only their own face: they call has_room(), start() the worker, show
// progress() and pass() while is_running(), offer stop(), and read outcome() at the end.
// The ring tone is written beside the target under a temporary name and takes the
// target's name only when it is complete: a file that was already there keeps its
// contents unless the outcome is `made`, and a ring tone that was stopped, could not be
// written whole or holds nothing leaves no file behind.
class RingtoneJob : public liba::Thread {
public:
    enum class Outcome {
        running,               // not ended yet
        made,                  // the target is complete
        source_not_recognised, // no reader recognises the source
        empty_fragment,        // start is not before finish
        target_is_source,      // the target names the source file itself
        target_folder_missing, // the target's folder does not exist
        target_not_a_file,     // the target is a folder, a device or another non-file
        cannot_create_target,
        write_failed, // the disk filled up or went away; nothing is kept
        nothing_encoded, // the fragment held no sound that could be encoded
        stopped,
    };

    // Milestones of the worker, called on the worker thread.
    class Listener {
    public:
        virtual void on_job_started() {}
        // The pass (1 measuring, 2 encoding) is about to pump its first block.
        virtual void on_pass_started(int /*pass*/) {}
        // The pass is about to pump its next step, fraction of it done.
        virtual void on_progress(int /*pass*/, double /*fraction*/) {}

    protected:
        ~Listener() = default;
    };

    // Opens the source's chain and chooses the target bit rate; reads and writes nothing.
    RingtoneJob(std::u16string_view source, std::u16string_view target, int start, int finish,
                Listener* listener = nullptr);
    // Stops and joins the worker.
    ~RingtoneJob() override;

    // The source's chain, null when no reader recognises it. Only the worker uses it
    // while the job runs.
    audio::PlayChain* chain() const { return chain_.get(); }
    const std::u16string& source_name() const { return source_; }
    const std::u16string& target_name() const { return target_; }
    int start_position() const { return start_; }
    int finish_position() const { return finish_; }
    int source_bit_rate() const { return source_bit_rate_; }
    int target_bit_rate() const { return target_bit_rate_; }

    // The ring tone's size in bytes as the fragment's duration at the target bit rate,
    // which holds whatever unit the reader's positions are in.
    double estimated_bytes() const;
    // Why the target cannot be written at all (target_is_source, target_folder_missing,
    // target_not_a_file), checked again when the job starts; nothing when it can.
    std::optional<Outcome> target_refusal() const;
    // Is the free space of the target's folder larger than the estimated ring tone?
    bool has_room() const;

    // The fraction of the current pass done, 0.0 to 1.0.
    double progress() const { return progress_.load(std::memory_order_relaxed); }
    // 1 while measuring, 2 while encoding.
    int pass() const { return pass_.load(std::memory_order_relaxed); }
    Outcome outcome() const { return outcome_.load(); }

    // Asks the worker to stop after its current step and waits for it.
    void stop();

protected:
    void run() override;

private:
    Outcome convert();
    void pump_fragment(audio::FileReader& reader);
    void replay(audio::PCMRecorder& recorder);
    void set_progress(double value) { progress_.store(value, std::memory_order_relaxed); }
    // Shows how far the current pass is, before its next step.
    void report_progress(double fraction);

    std::unique_ptr<audio::PlayChain> chain_;
    std::u16string source_;
    std::u16string target_;
    int start_;
    int finish_;
    int source_bit_rate_ = 32000;
    int target_bit_rate_ = 32000;
    Listener* listener_;
    std::atomic<double> progress_{0.0};
    std::atomic<int> pass_{1};
    std::atomic<Outcome> outcome_{Outcome::running};
};
