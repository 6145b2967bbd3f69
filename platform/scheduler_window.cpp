#include "platform/scheduler_window.h"

#include <chrono>

#include "liba/log.h"
#include "platform/base/clock.h"
#include "platform/window.h"

namespace platform {
namespace {

constexpr std::uintptr_t timer_id = 1;

} // namespace

SchedulerWindow::SchedulerWindow() : queue_(MessageQueue::current())
{
    WindowSpec spec;
    spec.class_name = u"CActiveSchedulerClass";
    spec.title = u"CActiveScheduler";
    spec.style = styles::popup;
    spec.rect = {0, 0, 0, 0}; // never shown: no pixels to keep
    spec.procedure = [this](const Message& message) { return procedure(message); };
    window_ = create_window(spec);
    if (window_ == no_window)
        liba::fatal_error(u"CActiveScheduler::CActiveScheduler", u"Can't create the scheduler window");
}

SchedulerWindow::~SchedulerWindow() { destroy_window(window_); }

std::intptr_t SchedulerWindow::procedure(const Message& message)
{
    if (handler_ && message.message == active_completion)
        handler_->on_completion(*reinterpret_cast<CActive*>(message.wparam));
    else if (handler_ && message.message == messages::timer)
        handler_->on_timer();
    return default_window_procedure(message);
}

void SchedulerWindow::post(CActive& object)
{
    queue_->post(Message{window_, active_completion, reinterpret_cast<std::uintptr_t>(&object), 0});
}

CActive& SchedulerWindow::take()
{
    const MessageFilter completions{window_, active_completion, active_completion};
    Message message;
    while (queue_->next(message, completions, true, true) != MessageQueue::Result::message) {
    }
    return *reinterpret_cast<CActive*>(message.wparam);
}

void SchedulerWindow::set_timer(uint32_t milliseconds)
{
    queue_->set_timer(window_, timer_id, std::chrono::milliseconds(milliseconds));
}

void SchedulerWindow::kill_timer() { queue_->kill_timer(window_, timer_id); }

uint32_t SchedulerWindow::tick_count() { return platform::tick_count(); }

} // namespace platform
