#pragma once

#include <memory>
#include <string_view>

namespace skinner {

class Container;
class Control;

// Makes the control that a form's control list in the skin names by its class
// ("Auto.Button", "Auto.Frame", "Auto.Picture", "Auto.Panel"), registered in the
// container under its name; null for any other class, which the program makes itself.
std::unique_ptr<Control> create_auto_control(
    Container& container, std::u16string_view class_name, std::u16string_view name);

} // namespace skinner
