#pragma once

#include <atomic>

#include "liba/nocopy.h"
#include "liba/thread.h"

// Links between audio objects: a provider pushes blocks into its consumer, or the
// consumer pulls blocks of a given size from its provider. A processor is both and
// turns one block into another. Each consumer's re-entrant lock guards its link to its
// provider and its own state.
//
// Lock order: a consumer's lock before its provider's, that is from the end of a chain
// toward its source, never the other way. A pull holds the consumer's lock while the
// provider reads, so relinking waits for the read. A push therefore holds no lock of
// its own while it delivers: the provider finds its consumer without a lock, and
// on_data takes the consumer's lock itself, for its own work only, and releases it
// before pushing on. A consumer is unlinked before it is destroyed.
namespace audio {

template <class T>
class Provider;

template <class T>
class Consumer : liba::Nocopy {
public:
    Consumer() = default;
    virtual void on_data(const T&) {}
    virtual ~Consumer();

    // count is in the provider's unit (sample frames for PCM providers).
    T pull(int count)
    {
        liba::Lock lock(mutex_);
        return provider_ ? provider_->read(count) : T();
    }
    bool is_linked() const { return provider_ != nullptr; }

protected:
    liba::Mutex& consumer_lock() { return mutex_; }

private:
    friend class Provider<T>;

    Provider<T>* provider_ = nullptr;
    liba::Mutex mutex_;
};

template <class T>
class Provider : liba::Nocopy {
public:
    Provider() = default;
    virtual ~Provider() { connect(nullptr); }
    // Produces a block of up to count units; an empty block when no more data is left.
    virtual T read(int count) = 0;

    void push(const T& block)
    {
        if (Consumer<T>* consumer = consumer_.load())
            consumer->on_data(block);
    }

    // Links this provider to consumer (or unlinks it, for null). A consumer still
    // linked to another provider is not detached from it.
    void connect(Consumer<T>* consumer)
    {
        if (Consumer<T>* old = consumer_.load()) {
            liba::Lock lock(old->mutex_);
            if (old->provider_ == this)
                old->provider_ = nullptr;
            consumer_ = nullptr;
        }
        if (consumer) {
            liba::Lock lock(consumer->mutex_);
            consumer->provider_ = this;
            consumer_ = consumer;
        }
    }
    bool is_linked() const { return consumer_.load() != nullptr; }

private:
    friend class Consumer<T>;

    std::atomic<Consumer<T>*> consumer_{nullptr};
};

template <class T>
Consumer<T>::~Consumer()
{
    liba::Lock lock(mutex_);
    if (provider_) {
        Consumer<T>* self = this;
        provider_->consumer_.compare_exchange_strong(self, nullptr);
    }
    provider_ = nullptr;
}

// Turns each T block into a U block, both when pushed through and when pulled.
template <class T, class U>
class Processor : public Consumer<T>, public Provider<U> {
public:
    void on_data(const T& in) override
    {
        U out;
        {
            liba::Lock lock(this->consumer_lock());
            out = process(in);
        }
        this->push(out);
    }
    U read(int count) override
    {
        liba::Lock lock(this->consumer_lock());
        return process(this->pull(count));
    }

protected:
    virtual U process(const T& in) = 0;
};

} // namespace audio
