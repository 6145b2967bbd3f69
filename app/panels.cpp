#include "app/panels.h"

#include "os/path.h"
#include "skinner/draw/canvas.h"

PanelFile::PanelFile(skinner::Container& container)
    : ControlPanel(container, u"panelFile")
{
}

void PanelFile::change_folder(std::u16string_view path)
{
    const std::u16string left = os::strip_trailing_separator(files.current_folder());
    files.set_folder(os::strip_trailing_separator(path));
    files.select_path(left);
    show_folder();
}

void PanelFile::show_folder()
{
    if (files.is_top_level()) {
        folder.set_text(translate(u"My_device", u"My device"));
        return;
    }
    const std::u16string& path = files.current_folder();
    const int available = folder.available_width();
    const auto width = [&](std::u16string_view text) { return skinner::CanvasImpl::measure_text(folder.text_font(), text).x; };
    if (width(path) < available) {
        folder.set_text(path);
        return;
    }
    std::u16string_view rest = path;
    while (!rest.empty() && width(u"..." + std::u16string(rest)) >= available)
        rest.remove_prefix(1);
    folder.set_text(u"..." + std::u16string(rest));
}

PanelStart::PanelStart(skinner::Container& container)
    : ControlPanel(container, u"panelStart")
{
}

PanelFinish::PanelFinish(skinner::Container& container)
    : ControlPanel(container, u"panelFinish")
{
}

PanelSave::PanelSave(skinner::Container& container)
    : ControlPanel(container, u"panelSave")
{
}
