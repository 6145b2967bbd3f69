#include "tools/skin_view/view_form.h"

#include <algorithm>

#include "liba/text.h"
#include "platform/screen.h"
#include "skinner/controls/control_button.h"
#include "skinner/controls/control_check_box.h"
#include "skinner/controls/control_edit.h"
#include "skinner/controls/control_frame.h"
#include "skinner/controls/control_grid.h"
#include "skinner/controls/control_progress.h"
#include "skinner/core/key_codes.h"
#include "skinner/draw/canvas.h"
#include "skinner/draw/font.h"
#include "skinner/skin/properties.h"

namespace {

// A control the program makes itself: its rectangle outlined, with its name.
class StandIn : public skinner::Control {
public:
    StandIn(skinner::Container& container, std::u16string_view id)
        : Control(container, id)
        , font_(properties().scale())
    {
        font_.set_specification(u"9 0 0 0 Tahoma");
    }

    void draw(skinner::CanvasImpl& canvas, skinner::Point update_origin, skinner::Point update_size) override
    {
        const skinner::Colour line{200, 40, 120, 0};
        const skinner::Point at = position();
        const skinner::Point size = this->size();
        canvas.fill_rectangle(at, {size.x, 1}, line);
        canvas.fill_rectangle({at.x, at.y + size.y - 1}, {size.x, 1}, line);
        canvas.fill_rectangle(at, {1, size.y}, line);
        canvas.fill_rectangle({at.x + size.x - 1, at.y}, {1, size.y}, line);
        canvas.draw_text_ellipsis(
            font_, line, id(), {at.x + 3, at.y}, {size.x - 6, size.y}, skinner::LEFT, skinner::VCENTER);
        Control::draw(canvas, update_origin, update_size);
    }

private:
    skinner::Font font_;
};

// A list the program fills itself, shown with sample rows in its skin's looks.
class SampleList : public skinner::ControlGrid, public skinner::GridSelectionStrategySingleRow {
public:
    SampleList(skinner::Container& container, std::u16string_view id)
        : ControlGrid(container, id)
    {
        refresh();
        set_current_row(1);
    }

    int row_count() const override { return 12; }
    int column_count() const override { return 1; }
    void draw_cell(int, int row, skinner::CanvasImpl& canvas, skinner::Point position, skinner::Point size,
        bool selected, bool highlighted) override
    {
        const skinner::Look& look = cell_style(selected, highlighted);
        canvas.draw_picture(look.picture, position, position + size);
        canvas.draw_text(look.font, look.colour, u"Sample row " + liba::to_wide(std::to_string(row + 1)), position, size,
            skinner::LEFT, skinner::VCENTER);
    }
};

template <class ControlClass>
std::unique_ptr<skinner::Control> make(skinner::Container& container, std::u16string_view id)
{
    return std::make_unique<ControlClass>(container, id);
}

// The stock controls that the program makes by id, known by the type prefix of the
// id; any other control gets a stand-in.
struct StockPrefix {
    std::u16string_view prefix;
    std::unique_ptr<skinner::Control> (*create)(skinner::Container& container, std::u16string_view id);
};

constexpr StockPrefix stock_prefixes[] = {
    {u"btn", make<skinner::ControlButton>},
    {u"chk", make<skinner::ControlCheckBox>},
    {u"frm", make<skinner::ControlFrame>},
    {u"pb", make<skinner::ControlProgress>},
    {u"edt", make<skinner::ControlEdit>},
    {u"lst", make<SampleList>},
};

std::unique_ptr<skinner::Control> make_control(skinner::Container& container, std::u16string_view id)
{
    for (const StockPrefix& entry : stock_prefixes)
        if (id.substr(0, entry.prefix.size()) == entry.prefix)
            return entry.create(container, id);
    return make<StandIn>(container, id);
}

} // namespace

ViewForm::ViewForm(skinner::Properties& properties, std::u16string name)
    : Form(nullptr, properties, name)
{
    make_stand_ins();
}

void ViewForm::make_stand_ins()
{
    stand_ins_.clear();
    for (const std::u16string& id : properties().impl().reader().form_control_names(form_name()))
        if (!find_control(id))
            stand_ins_.push_back(make_control(*this, id));
}

int ViewForm::on_command(skinner::Control* sender, std::u16string_view command)
{
    if (command != u"#ScreenResolution#")
        return Form::on_command(sender, command);
    stand_ins_.clear();
    properties().load_skin(properties().skin_path(), platform::screen_size());
    make_stand_ins();
    return 1;
}

bool ViewForm::on_key_down(int key)
{
    if (Form::on_key_down(key))
        return true;
    if (key != skinner::key::escape)
        return false;
    close();
    return true;
}
