#pragma once

#include "skinner/core/control.h"

namespace skinner {

// Marks its form as having a main menu: the form shows its bar (menu bar or soft
// keys) while its loop runs. Draws nothing and is never hit nor focused.
class ControlMenuMain : public Control {
public:
    ControlMenuMain(Container& container, std::u16string_view name, NodeMode mode = NodeMode::by_id);
    ~ControlMenuMain() override;

    bool wants_focus() const override { return false; }
    bool hit_test(Point) const override { return false; }
    void draw(CanvasImpl&, Point, Point) override { }
};

} // namespace skinner
