// Forms on a fresh headless screen: placement, painting, modal loops, closing and the
// window messages that become the container's events.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "liba/log.h"
#include "platform/base/keys.h"
#include "platform/screen.h"
#include "platform/shell.h"
#include "platform/window.h"
#include "skinner/core/control_panel.h"
#include "skinner/core/key_codes.h"
#include "tests/skinner/core_fixture.h"
#include "tests/support/reference_image.h"

namespace core_test {
namespace {

using platform::DeviceKind;

struct ScreenCase {
    const char* name;
    platform::ScreenConfig screen;
};

class FormScreens : public testing::TestWithParam<ScreenCase> { };

// One form on every kind of screen it is drawn for: the variant that fits, the boxes
// following their anchors, the panel with its nested panel, the focus picture on the
// focused box, and the bars of the device.
TEST_P(FormScreens, LookAsTheirReferences)
{
    CoreFixture fixture(GetParam().screen);
    TestFormWithBoxes form(fixture.properties);
    platform::set_active_window(form.window());
    form.set_active(true);
    fixture.ui.run_until_idle();
    EXPECT_TRUE(ui_test::matches_reference(fixture.ui.screen(), std::string("skinner/form_") + GetParam().name));
}

INSTANTIATE_TEST_SUITE_P(Core, FormScreens,
    testing::Values(ScreenCase{"pocketpc_240x320", {{240, 320}, DeviceKind::pocket_pc}},
        ScreenCase{"pocketpc_320x240", {{320, 240}, DeviceKind::pocket_pc}},
        ScreenCase{"pocketpc_480x640", {{480, 640}, DeviceKind::pocket_pc}},
        ScreenCase{"pocketpc_640x480", {{640, 480}, DeviceKind::pocket_pc}},
        ScreenCase{"smartphone_240x320", {{240, 320}, DeviceKind::smartphone}},
        ScreenCase{"smartphone_320x240", {{320, 240}, DeviceKind::smartphone}},
        ScreenCase{"smartphone_480x640", {{480, 640}, DeviceKind::smartphone}},
        ScreenCase{"smartphone_640x480", {{640, 480}, DeviceKind::smartphone}}),
    [](const testing::TestParamInfo<ScreenCase>& info) { return std::string(info.param.name); });

// With the registry's "Flicker" switch on, every paint draws into a fresh canvas: the
// screen comes out the same.
TEST(FormPainting, FlickerModeDrawsTheSameScreen)
{
    const auto registry = skin_test::scratch_folder("registry") / "registry.ini";
    std::ofstream(registry) << "[HKEY_CURRENT_USER\\Software\\Quenbry]\nFlicker=1\n";
    const char* before = std::getenv("MELODRIFT_REGISTRY");
    const std::string saved = before ? before : "";
    setenv("MELODRIFT_REGISTRY", registry.c_str(), 1);
    {
        CoreFixture fixture;
        TestFormWithBoxes form(fixture.properties);
        platform::set_active_window(form.window());
        form.set_active(true);
        fixture.ui.run_until_idle();
        // Painted again in pieces, as controls change one by one.
        form.left.invalidate();
        form.bottom.invalidate();
        fixture.ui.run_until_idle();
        EXPECT_TRUE(ui_test::matches_reference(fixture.ui.screen(), "skinner/form_pocketpc_240x320"));
    }
    if (before)
        setenv("MELODRIFT_REGISTRY", saved.c_str(), 1);
    else
        unsetenv("MELODRIFT_REGISTRY");
}

} // namespace
} // namespace core_test
