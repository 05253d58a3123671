// The controls under Wine: every event comes from the real control, driven by sent input.
#include "core/gui/ButtonWidget.h"
#include "core/gui/ComboBoxWidget.h"
#include "core/gui/LabelWidget.h"
#include "core/gui/ScrollBarWidget.h"
#include "core/gui/TabSheetWidget.h"
#include "core/gui/TextBoxWidget.h"
#include "core/gui/TreeViewWidget.h"
#include "tests/gui/GuiFixture.h"

namespace {

// Each control's notification reaches its own widget, which records it and its new state.
TEST_F(GuiTest, ControlsRecordTheirUsersActions) {
    auto* button = new ButtonWidget(7, window, "Start", 10, 10, 80, 24);
    auto* combo = new ComboBoxWidget(8, window, "", 10, 40, 150, 120);
    auto* label = new LabelWidget(9, window, "plain", false, 10, 200, 100, 20);
    auto* tree = new TreeViewWidget(40, window, 200, 10, 200, 200);
    HWND treeWindow = tree->GetHandle();
    for (const char* item : {"Alpha", "Beta", "Gamma"})
        combo->AddItem(item);
    combo->SetText("gAm"); // the first item the text begins, case aside
    EXPECT_EQ(combo->GetSelection(), 2);
    HTREEITEM b = tree->InsertItem("b", 0), a = tree->InsertItem("a", 0); // kept sorted
    EXPECT_EQ(HTREEITEM(SendMessageA(treeWindow, TVM_GETNEXTITEM, TVGN_ROOT, 0)), a);
    tree->SelectItem(a);
    const struct {
        BaseWidget* widget;
        UINT message;
        WPARAM wParam;
        int code;
    } cases[] = {
        {button, BM_CLICK, 0, WidgetEventCode::ButtonClicked},
        {combo, WM_KEYDOWN, VK_UP, WidgetEventCode::ComboSelChanged},
        {label, WM_LBUTTONUP, 0, WidgetEventCode::Click},
        {tree, WM_KEYDOWN, VK_DOWN, WidgetEventCode::TreeSelChanged},
    };
    for (const auto& c : cases) {
        SetWidgetEvent(0, 0);
        SendMessageA(c.widget->GetHandle(), c.message, c.wParam, MAKELPARAM(3, 3));
        EXPECT_TRUE(IsWidgetEvent(c.widget->GetId(), c.code)) << c.widget->GetId();
    }
    EXPECT_STREQ(combo->GetText(), "Beta");
    EXPECT_EQ(tree->GetSelectedItem(), b);
    EXPECT_FALSE(GetWindowLongA(treeWindow, GWL_STYLE) & WS_VISIBLE); // made hidden
}

// SetText's own WM_SETTEXT and EN_UPDATE use up its two silent messages. A text box inside a
// label gets no EN_UPDATE routed back, so its first typed character is silent.
TEST_F(GuiTest, TextBoxRecordsTypingAfterTheTwoMessagesSetTextCauses) {
    auto* label = new LabelWidget(12, window, "", false, 10, 50, 200, 40);
    TextBoxWidget* boxes[] = {new TextBoxWidget(11, window, "", 10, 10, 150, 24),
                              new TextBoxWidget(13, label, "", 0, 0, 150, 24)};
    std::string recorded;
    for (TextBoxWidget* box : boxes) {
        box->SetText("new");
        for (const char typed : {'a', 'b'}) {
            SetWidgetEvent(0, 0);
            SendMessageA(box->GetHandle(), WM_CHAR, WPARAM(typed), 1);
            recorded += IsWidgetEvent(box->GetId(), WidgetEventCode::TextTyped) ? "y" : "n";
        }
        recorded += std::string(" ") + box->GetText() + ";"; // the caret stays at the start
    }
    EXPECT_EQ(recorded, "yy abnew;ny abnew;");
}

// The bar follows only its own scroll messages, through the window, and stays in its range.
TEST_F(GuiTest, ScrollBarFollowsItsNotifications) {
    auto* bar = new ScrollBarWidget(12, window, true, 10, 10, 200, 18);
    const LPARAM fromBar = LPARAM(bar->GetHandle());
    std::string positions;
    for (const UINT key : {VK_LEFT, VK_RIGHT, VK_NEXT, VK_END, VK_RIGHT, VK_LEFT, VK_HOME}) {
        SendMessageA(bar->GetHandle(), WM_KEYDOWN, key, 0);
        positions += std::to_string(bar->GetPosition()) + " ";
    }
    // SB_BOTTOM comes from no control.
    for (const WPARAM scroll : {MAKEWPARAM(SB_THUMBTRACK, 42), MAKEWPARAM(SB_THUMBPOSITION, 7),
                                WPARAM(SB_BOTTOM), MAKEWPARAM(SB_THUMBTRACK, 65535)}) {
        SendMessageA(window->GetHandle(), WM_HSCROLL, scroll, scroll == SB_BOTTOM ? 0 : fromBar);
        positions += std::to_string(bar->GetPosition()) + " ";
    }
    bar->SetRange(10, 30);
    EXPECT_EQ(positions + std::to_string(bar->GetPosition()), "0 1 1 100 100 99 0 42 7 7 65535 29");
}

// Only the current page's widgets are shown and hear commands; a click on a tab switches pages.
TEST_F(GuiTest, TabSheetShowsOnlyTheCurrentPage) {
    auto* tabs = new TabSheetWidget(20, window, "", 10, 10, 300, 200);
    tabs->AddPage("One");
    tabs->AddPage("Two");
    for (int i = 0; i < 4; ++i) // 21 on page 0, 22 and 23 on 1, 24 on 2, which does not exist
        tabs->AddToPage((i + 1) / 2, new ProbeWidget(21 + i, window, 0, 0, 1, 1, &log));
    EXPECT_EQ(log, "21 show 1 0;22 show 0 0;23 show 0 0;");
    const struct {
        int page, current;
        const char* shown;
    } cases[] = {
        {0, 0, ""},  {1, 1, "21 show 0 0;22 show 1 0;23 show 1 0;"}, {2, 1, ""},
        {-2, 1, ""}, {-1, -1, "22 show 0 0;23 show 0 0;"},           {0, 0, "21 show 1 0;"},
    };
    for (const auto& c : cases) {
        log.clear();
        tabs->SelectPage(c.page);
        EXPECT_EQ(tabs->GetCurrentPage(), c.current) << c.page;
        EXPECT_EQ(log, c.shown) << c.page;
    }
    // 21, on the current page and the window's child, hears the command twice.
    log.clear();
    SendMessageA(window->GetHandle(), WM_COMMAND, MAKEWPARAM(99, 0), 0);
    EXPECT_EQ(log, "21 cmd 273 99;21 cmd 273 99;22 cmd 273 99;23 cmd 273 99;24 cmd 273 99;");

    log.clear();
    RECT tab;
    SendMessageA(tabs->GetHandle(), TCM_GETITEMRECT, 1, LPARAM(&tab));
    const LPARAM at = MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
    SendMessageA(tabs->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(tabs->GetHandle(), WM_LBUTTONUP, 0, at);
    EXPECT_EQ(tabs->GetCurrentPage(), 1);
    EXPECT_NE(log.find("21 show 0 0;22 show 1 0;23 show 1 0;"), std::string::npos) << log;
}

// A widget deleted without Destroy leaves its window, whose messages then find no widget.
TEST_F(GuiTest, HandlesWithoutLiveWidgetGetDefaultAnswer) {
    BaseWidget* widgets[] = {new LabelWidget(14, window, "abc", false, 10, 10, 100, 20),
                             new TextBoxWidget(15, window, "abc", 10, 40, 100, 20)};
    for (BaseWidget* widget : widgets) {
        HWND native = widget->GetHandle();
        window->RemoveChild(widget);
        delete widget;
        for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_CHAR})
            SendMessageA(native, message, 'x', MAKELPARAM(5, 5));
        EXPECT_FALSE(HasWidgetEvent());
        EXPECT_EQ(SendMessageA(native, WM_GETTEXTLENGTH, 0, 0),
                  DefWindowProcA(native, WM_GETTEXTLENGTH, 0, 0));
    }
}

} // namespace
