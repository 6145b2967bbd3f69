#include "liba/active.h"

#include <algorithm>
#include <cmath>

#include "liba/log.h"

namespace {

std::atomic<CActiveScheduler*> current_scheduler{nullptr};

// A tick count difference beyond this would read as negative.
constexpr double longest_timer_seconds = 2147483.0;

template <class List>
bool erase_first(List& list, CActive* object)
{
    const auto found = std::find(list.begin(), list.end(), object);
    if (found == list.end())
        return false;
    list.erase(found);
    return true;
}

} // namespace

CActive::~CActive()
{
    if (is_active())
        liba::fatal_error(u"CActive::~CActive()", u"Active object is already active");
}

void CActive::cancel()
{
    if (is_active())
        CActiveScheduler::instance().cancel(*this);
}

CActiveScheduler::CActiveScheduler(std::unique_ptr<liba::CompletionQueue> queue) : queue_(std::move(queue))
{
    CActiveScheduler* expected = nullptr;
    if (!current_scheduler.compare_exchange_strong(expected, this))
        liba::fatal_error(u"CActiveScheduler::CActiveScheduler", u"A second active scheduler was created");
    queue_->set_handler(this);
}

CActiveScheduler::~CActiveScheduler()
{
    if (!actives_.empty())
        liba::fatal_error(u"", u"Some active objects still live while scheduler is terminating");
    queue_->kill_timer();
    queue_->set_handler(nullptr);
    current_scheduler = nullptr;
}

CActiveScheduler& CActiveScheduler::instance()
{
    CActiveScheduler* scheduler = current_scheduler.load();
    if (!scheduler)
        liba::fatal_error(u"CActiveScheduler::instance", u"There is no active scheduler");
    return *scheduler;
}

void CActiveScheduler::set_active(CActive& object)
{
    if (object.is_active())
        liba::fatal_error(u"CActiveScheduler::set_active", u"Object is already active");
    object.active_.store(true, std::memory_order_release);
    actives_.push_back(&object);
}

void CActiveScheduler::notify(CActive& object)
{
    if (!object.is_active())
        liba::fatal_error(u"CActiveScheduler::notify()", u"Active object is not active");
    queue_->post(object);
}

void CActiveScheduler::deactivate(CActive& object)
{
    object.active_.store(false, std::memory_order_release);
    erase_first(actives_, &object);
}

void CActiveScheduler::process_actives(CActive& object)
{
    if (std::find(actives_.begin(), actives_.end(), &object) == actives_.end())
        liba::fatal_error(u"CActiveScheduler::process_actives()", u"Active object is not in active list");
    if (!object.is_active())
        liba::fatal_error(u"CActiveScheduler::process_actives()", u"Active object is not marked active");
    deactivate(object);
    object.run();
}

void CActiveScheduler::cancel(CActive& object)
{
    object.do_cancel();
    if (erase_first(pending_actives_, &object)) {
        deactivate(object);
        return;
    }
    for (;;) {
        CActive& taken = queue_->take();
        if (&taken == &object) {
            deactivate(object);
            break;
        }
        if (!taken.is_active())
            liba::fatal_error(u"CActiveScheduler::cancel", u"Object to be added to pending_actives is not marked as active");
        pending_actives_.push_back(&taken);
    }
    while (!pending_actives_.empty()) {
        CActive& next = *pending_actives_.front();
        pending_actives_.pop_front();
        process_actives(next);
    }
}

void CActiveScheduler::start_timer(CActive& object, uint32_t due)
{
    set_active(object);
    timers_.push_back({&object, due});
    examine_timers();
}

bool CActiveScheduler::remove_timer(CActive& object)
{
    const auto found = std::find_if(timers_.begin(), timers_.end(), [&](const Timed& t) { return t.object == &object; });
    if (found == timers_.end())
        return false;
    timers_.erase(found);
    return true;
}

void CActiveScheduler::examine_timers()
{
    queue_->kill_timer();
    const uint32_t now = queue_->tick_count();
    std::vector<CActive*> due;
    int32_t nearest = 0;
    std::erase_if(timers_, [&](const Timed& timer) {
        const auto remaining = static_cast<int32_t>(timer.due - now);
        if (remaining <= 0) {
            due.push_back(timer.object);
            return true;
        }
        nearest = nearest == 0 ? remaining : std::min(nearest, remaining);
        return false;
    });
    for (CActive* object : due)
        notify(*object);
    if (nearest > 0)
        queue_->set_timer(static_cast<uint32_t>(nearest));
}

namespace liba {

class Timer::Impl : public CActive {
public:
    explicit Impl(Timer& owner) : owner_(owner) {}

private:
    void run() override
    {
        CActiveScheduler::instance().remove_timer(*this);
        owner_.listener_.on_timer(owner_);
    }
    void do_cancel() override
    {
        CActiveScheduler& scheduler = CActiveScheduler::instance();
        if (scheduler.remove_timer(*this))
            scheduler.notify(*this);
    }

    Timer& owner_;
};

Timer::Timer(Listener& listener) : impl_(std::make_unique<Impl>(*this)), listener_(listener) {}

Timer::~Timer() { cancel(); }

void Timer::start(double seconds)
{
    cancel();
    CActiveScheduler& scheduler = CActiveScheduler::instance();
    const double clamped = std::isnan(seconds) ? 0.0 : std::clamp(seconds, 0.0, longest_timer_seconds);
    const auto milliseconds = static_cast<uint32_t>(clamped * 1000.0);
    scheduler.start_timer(*impl_, scheduler.tick_count() + milliseconds);
}

void Timer::cancel() { impl_->cancel(); }

bool Timer::is_active() const { return impl_->is_active(); }

} // namespace liba
