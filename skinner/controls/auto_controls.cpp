#include "skinner/core/auto_controls.h"

#include "skinner/controls/control_button.h"
#include "skinner/controls/control_frame.h"
#include "skinner/controls/control_picture.h"
#include "skinner/core/control_panel.h"

namespace skinner {

namespace {

template <class ControlClass> std::unique_ptr<Control> make(Container& container, std::u16string_view name)
{
    return std::make_unique<ControlClass>(container, name);
}

struct AutoClass {
    std::u16string_view name;
    std::unique_ptr<Control> (*create)(Container& container, std::u16string_view name);
};

constexpr AutoClass auto_classes[] = {
    {u"Auto.Button", make<ControlButton>},
    {u"Auto.Frame", make<ControlFrame>},
    {u"Auto.Picture", make<ControlPicture>},
    {u"Auto.Panel", make<ControlPanel>},
};

} // namespace

std::unique_ptr<Control> create_auto_control(
    Container& container, std::u16string_view class_name, std::u16string_view name)
{
    for (const AutoClass& entry : auto_classes)
        if (entry.name == class_name)
            return entry.create(container, name);
    return nullptr;
}

} // namespace skinner
