#pragma once

#include <memory>
#include <string>
#include <vector>

#include "skinner/core/control.h"
#include "skinner/core/form.h"

// A form of any skin as the program would show it: the skin's own controls, the stock
// controls that the program makes by id (buttons, check boxes, frames, bars, edit
// fields and lists by their "btn", "chk", "frm", "pb", "edt", "lst" prefixes), and a stand-in for every
// other control the program makes itself, so that a skin author sees the whole form.
class ViewForm : public skinner::Form {
public:
    ViewForm(skinner::Properties& properties, std::u16string name);

    // The screen turned: the skin is read again for the new size.
    int on_command(skinner::Control* sender, std::u16string_view command) override;
    // Back (Escape) that no control takes closes the viewer.
    bool on_key_down(int key) override;

private:
    void make_stand_ins();

    std::vector<std::unique_ptr<skinner::Control>> stand_ins_;
};
