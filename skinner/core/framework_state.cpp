#include "skinner/core/framework_state.h"

#include <algorithm>

#include "liba/log.h"
#include "platform/session.h"

namespace skinner {

FrameworkState& framework_state() { return platform::Session::current().extension<FrameworkState>(); }

FormInMaking::FormInMaking(const std::u16string& form)
{
    auto& making = framework_state().forms_in_making;
    if (!form.empty() && std::find(making.begin(), making.end(), form) != making.end())
        liba::fatal_error(u"ControlPanel", u"form {" + form + u"} holds a panel of itself");
    making.push_back(form);
}

FormInMaking::~FormInMaking() { framework_state().forms_in_making.pop_back(); }

} // namespace skinner
