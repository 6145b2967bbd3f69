#pragma once

#include <memory>
#include <string>
#include <vector>

#include "skinner/core/control.h"
#include "skinner/core/form.h"

// A form of any skin as the program would show it: the skin's own controls, edit
// fields ("edt...") that take input as the program's do, and for every other control
// that the program makes itself a stand-in, so that a skin author sees the whole form.
class ViewForm : public skinner::Form {
public:
    ViewForm(skinner::Properties& properties, std::u16string name);

    // The screen turned: the skin is read again for the new size.
    int on_command(skinner::Control* sender, std::u16string_view command) override;

private:
    void make_stand_ins();

    std::vector<std::unique_ptr<skinner::Control>> stand_ins_;
};
