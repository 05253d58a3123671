// The top-level window under Wine: its native window, the class procedure's lookup and the
// routing of native messages to the hooks of the window and its direct children.
#include "core/gui/WindowWidget.h"
#include "core/gui/WidgetEvent.h"
#include "tests/gui/ProbeWidget.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

namespace {

TEST(WindowWidget, CreatesHiddenPopupOfItsOwnClass) {
    const struct {
        bool noCaption;
        DWORD style;
    } cases[] = {{true, WS_POPUP}, {false, WS_POPUP | WS_CAPTION}};
    for (const auto& c : cases) {
        auto* window = new WindowWidget(42, "title", c.noCaption, 10, 20, 300, 200);
        HWND native = window->GetHandle();
        char className[32] = "";
        GetClassNameA(native, className, sizeof className);
        EXPECT_STREQ(className, "ZEdaroDozaza");
        EXPECT_EQ(GetClassLongA(native, GCL_STYLE), static_cast<DWORD>(CS_CLASSDC));
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(native, GWL_STYLE)) &
                      (WS_POPUP | WS_CAPTION | WS_VISIBLE),
                  c.style);
        EXPECT_EQ(GetWindowLongA(native, GWL_ID), 42);
        EXPECT_FALSE(window->IsVisible());
        // The stored size changes alone; moving keeps the native size.
        window->SetSize(5, 5);
        window->SetPosition(30.9f, 40);
        RECT frame;
        GetWindowRect(native, &frame);
        EXPECT_EQ(frame.left, 30);
        EXPECT_EQ(frame.top, 40);
        EXPECT_EQ(frame.bottom - frame.top, 200);
        EXPECT_EQ(window->GetWidth(), 5.0f);
        window->Destroy();
    }
}

// Window 5 with probes 11 at (10, 10) and 12 at (100, 20), both 50 x 50.
TEST(WindowWidget, RoutesNativeMessagesToHooks) {
    std::string log;
    auto* window = new WindowWidget(5, "", true, 0, 0, 200, 200);
    new ProbeWidget(11, window, 10, 10, 50, 50, &log);
    new ProbeWidget(12, window, 100, 20, 50, 50, &log);
    HWND native = window->GetHandle();
    NMHDR changing = {native, 7, static_cast<UINT>(TCN_SELCHANGING)};
    NMHDR changed = {native, 7, static_cast<UINT>(TCN_SELCHANGE)};
    DRAWITEMSTRUCT drawItem = {};
    const LPARAM at5 = MAKELPARAM(5, 5);
    const struct {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        const char* route;
        int eventId;
    } cases[] = {
        {WM_MOUSEMOVE, 0, at5, "12 move -95 -15;11 move -5 -5;", 99},
        {WM_MOUSEMOVE, 0, MAKELPARAM(-20, 300), "12 move -120 280;11 move -30 290;", 99},
        {WM_LBUTTONDOWN, 0, MAKELPARAM(30, 30), "11 down 20 20;", 99},
        {WM_LBUTTONUP, 0, MAKELPARAM(30, 30), "11 up 20 20;", 11},
        {WM_LBUTTONUP, 0, at5, "", 5},
        {WM_LBUTTONDBLCLK, 0, at5, "12 dbl -95 -15;11 dbl -5 -5;", 99},
        {WM_RBUTTONDOWN, 0, at5, "12 rdown -95 -15;11 rdown -5 -5;", 99},
        {WM_RBUTTONUP, 0, at5, "12 rup -95 -15;11 rup -5 -5;", 99},
        {WM_MBUTTONDOWN, 0, at5, "12 mdown -95 -15;11 mdown -5 -5;", 99},
        {WM_MBUTTONUP, 0, at5, "12 mup -95 -15;11 mup -5 -5;", 99},
        {WM_RBUTTONDBLCLK, 0, at5, "", 99},
        {WM_MBUTTONDBLCLK, 0, at5, "", 99},
        {WM_COMMAND, MAKEWPARAM(11, BN_CLICKED), 0, "11 cmd 273 11;12 cmd 273 11;", 99},
        {WM_COMMAND, MAKEWPARAM(5, BN_CLICKED), 0, "", 99},
        {WM_HSCROLL, SB_LINEDOWN, 0, "11 cmd 276 1;12 cmd 276 1;", 99},
        {WM_VSCROLL, SB_THUMBTRACK, 0, "", 99}, // the scroll code equals the window's id
        {WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&changing), "", 99},
        {WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&changed), "11 cmd 78 7;12 cmd 78 7;", 99},
        {WM_PAINT, 0, 0, "11 draw;12 draw;", 99},
        {WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&drawItem), "11 draw;12 draw;", 99},
        {WM_KEYDOWN, VK_SPACE, 0, "", 99},
    };
    for (const auto& c : cases) {
        log.clear();
        SetWidgetEvent(99, 0);
        SendMessageA(native, c.message, c.wParam, c.lParam);
        EXPECT_EQ(log, c.route) << "message " << c.message;
        EXPECT_TRUE(IsWidgetEvent(c.eventId, c.eventId == 99 ? 0 : WidgetEventCode::Click))
            << "message " << c.message;
    }
    window->Destroy();
}

} // namespace
