#include "app/application.h"

#include "liba/log.h"
#include "platform/base/clock.h"
#include "platform/scheduler_window.h"
#include "platform/shell_instance.h"
#include "platform/window.h"

namespace os {

namespace {

constexpr size_t longest_class_name = 38;

Application* current_application = nullptr;

void log_step(int step)
{
    liba::log() << platform::tick_count() << u" Application::~Application " << step << u"\n";
}

} // namespace

Application::Application(std::u16string_view name) : window_class_(u"SkinnerClass_" + std::u16string(name))
{
    if (window_class_.size() > longest_class_name)
        liba::fatal_error(u"Application::Application", u"Application name is too long. Sorry.");
    if (current_application)
        liba::fatal_error(u"Application::Application", u"instance != 0");
    current_application = this;
    scheduler_ = std::make_unique<CActiveScheduler>(std::make_unique<platform::SchedulerWindow>());
}

Application::~Application()
{
    log_step(1);
    scheduler_.reset();
    log_step(2);
    release_startup_lock();
    log_step(3);
    instance_.reset();
    log_step(4);
    current_application = nullptr;
}

Application& Application::current()
{
    if (!current_application)
        liba::fatal_error(u"Application::current", u"instance == 0");
    return *current_application;
}

bool Application::find_prior_instance(std::u16string_view command_line)
{
    instance_ = std::make_unique<platform::InstanceLock>(window_class_);
    const bool found = instance_->find_running_copy(command_line);
    platform::set_cursor(platform::cursors::wait);
    return found;
}

void Application::release_startup_lock()
{
    platform::set_cursor(platform::cursors::arrow);
    if (instance_)
        instance_->release_startup_lock();
}

} // namespace os
