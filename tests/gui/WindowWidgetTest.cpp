// The top-level window under Wine: routing native messages to hooks, and teardown.
#include "tests/gui/GuiFixture.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

namespace {

// A (1) holds C (3); B (2), fractional, overlaps A. The left button goes to the top-most child
// whose inside (edges excluded) holds the point; other input goes to every direct child.
TEST_F(GuiTest, RoutesNativeMessagesToHooksAndTearsDownOnce) {
    auto* a = new ProbeWidget(1, window, 10, 10, 20, 20, &log);
    auto* b = new ProbeWidget(2, window, 25.5f, 25.5f, 20, 20, &log);
    new ProbeWidget(3, a, 2, 2, 5, 5, &log);
    HWND native = window->GetHandle();
    NMHDR changing = {native, 7, UINT(TCN_SELCHANGING)};
    DRAWITEMSTRUCT drawItem = {};
    const struct {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        const char* route;
        int eventId;
    } cases[] = {
        {WM_LBUTTONUP, 0, MAKELPARAM(10, 15), "", 50}, // on A's left, top and right edges
        {WM_LBUTTONUP, 0, MAKELPARAM(15, 10), "", 50},
        {WM_LBUTTONUP, 0, MAKELPARAM(30, 15), "", 50},
        {WM_LBUTTONUP, 0, MAKELPARAM(26, 30), "", 50}, // A's bottom, half a unit inside B
        {WM_LBUTTONUP, 0, MAKELPARAM(11, 11), "1 up 1 1;", 1},
        {WM_LBUTTONUP, 0, MAKELPARAM(13, 13), "1 up 3 3;3 up 1 1;", 3},
        {WM_LBUTTONUP, 0, MAKELPARAM(29, 29), "2 up 3 3;", 2},
        {WM_LBUTTONDOWN, 0, MAKELPARAM(13, 13), "1 down 3 3;3 down 1 1;", 99},
        {WM_MOUSEMOVE, 0, MAKELPARAM(-20, 300), "2 move -45 274;1 move -30 290;", 99},
        {WM_RBUTTONDOWN, 0, MAKELPARAM(5, 5), "2 rdown -20 -20;1 rdown -5 -5;", 99},
        {WM_COMMAND, MAKEWPARAM(11, BN_CLICKED), 0, "1 cmd 273 11;2 cmd 273 11;", 99},
        {WM_COMMAND, MAKEWPARAM(50, BN_CLICKED), 0, "", 99}, // the window's own
        {WM_NOTIFY, 7, LPARAM(&changing), "", 99},
        {WM_DRAWITEM, 0, LPARAM(&drawItem), "1 draw;2 draw;", 99},
    };
    for (const auto& c : cases) {
        log.clear();
        SetWidgetEvent(99, 0);
        SendMessageA(native, c.message, c.wParam, c.lParam);
        EXPECT_EQ(log, c.route) << c.message << " at " << c.lParam;
        EXPECT_TRUE(IsWidgetEvent(c.eventId, c.eventId == 99 ? 0 : WidgetEventCode::Click))
            << c.message << " at " << c.lParam;
    }

    // A destroyed widget leaves its parent; the window's teardown deletes every child once,
    // nested or listed twice, and leaves the registry.
    log.clear();
    window->AddChild(b);
    new ProbeWidget(4, b, 0, 0, 1, 1, &log);
    a->Destroy();
    WindowWidget* gone = std::exchange(window, nullptr);
    gone->Destroy();
    EXPECT_EQ(log, "3 deleted;1 deleted;4 deleted;2 deleted;");
    EXPECT_FALSE(IsWindow(native));
    EXPECT_EQ(std::count(windowRegistry.begin(), windowRegistry.end(), gone), 0);
}

} // namespace
