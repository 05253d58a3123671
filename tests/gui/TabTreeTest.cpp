// Tab sheets and tree views under Wine, driven through the real common controls.
#include "core/gui/TabSheetWidget.h"
#include "core/gui/TreeViewWidget.h"
#include "tests/gui/GuiFixture.h"
#include "tests/gui/ProbeWidget.h"

#include <string>

namespace {

bool HasVisibleStyle(BaseWidget* widget) {
    return (GetWindowLongA(widget->GetHandle(), GWL_STYLE) & WS_VISIBLE) != 0;
}

TEST_F(GuiTest, TabSheetShowsOnlyTheCurrentPage) {
    auto* tabs = new TabSheetWidget(20, window, "", 10, 10, 300, 200);
    EXPECT_EQ(tabs->GetCurrentPage(), -1);
    tabs->AddPage("One");
    EXPECT_EQ(tabs->GetCurrentPage(), 0);
    tabs->AddPage(std::string(70, 'n').c_str());
    char name[100] = "";
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = name;
    item.cchTextMax = sizeof name;
    SendMessageA(tabs->GetHandle(), TCM_GETITEMA, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(std::string(name), std::string(63, 'n'));

    auto* first = new ProbeWidget(21, window, 0, 0, 1, 1, &log);
    auto* second = new ProbeWidget(22, window, 0, 0, 1, 1, &log);
    auto* third = new ProbeWidget(23, window, 0, 0, 1, 1, &log);
    tabs->AddToPage(0, first);
    tabs->AddToPage(1, second);
    tabs->AddToPage(1, third);
    tabs->AddToPage(2, first);
    tabs->AddToPage(-1, first);
    EXPECT_EQ(log, "21 show 1 0;22 show 0 0;23 show 0 0;");

    const struct {
        int page;
        int current;
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

    // A widget on the current page that is also the window's child hears commands twice.
    log.clear();
    SendMessageA(window->GetHandle(), WM_COMMAND, MAKEWPARAM(99, 0), 0);
    EXPECT_EQ(log, "21 cmd 273 99;21 cmd 273 99;22 cmd 273 99;23 cmd 273 99;");

    // A click on the second tab switches pages through the control's own notification.
    log.clear();
    RECT tab;
    SendMessageA(tabs->GetHandle(), TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&tab));
    const LPARAM at = MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
    SendMessageA(tabs->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(tabs->GetHandle(), WM_LBUTTONUP, 0, at);
    EXPECT_EQ(tabs->GetCurrentPage(), 1);
    // The probes, children of the window too, also hear the control's notifications.
    EXPECT_NE(log.find("21 show 0 0;22 show 1 0;23 show 1 0;"), std::string::npos) << log;
    EXPECT_FALSE(HasWidgetEvent());
}

std::string TreeOrder(HWND tree) {
    std::string order;
    auto item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    while (item) {
        char text[32] = "";
        TVITEMA query = {};
        query.mask = TVIF_TEXT;
        query.hItem = item;
        query.pszText = text;
        query.cchTextMax = sizeof text;
        SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query));
        order += std::string(text) + ";";
        item = reinterpret_cast<HTREEITEM>(
            SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
    }
    return order;
}

TEST_F(GuiTest, TreeViewKeepsItemsSortedAndRecordsSelections) {
    auto* tree = new TreeViewWidget(40, window, 10, 10, 200, 200);
    HWND native = tree->GetHandle();
    EXPECT_TRUE(tree->IsVisible());
    EXPECT_FALSE(HasVisibleStyle(tree));
    tree->SetVisible(true);
    EXPECT_TRUE(HasVisibleStyle(tree));

    HTREEITEM b = tree->InsertItem("b", 0);
    HTREEITEM a = tree->InsertItem("a", 0);
    EXPECT_EQ(TreeOrder(native), "a;b;");
    tree->SetItemText(a, "c");
    EXPECT_EQ(TreeOrder(native), "b;c;");
    EXPECT_FALSE(HasWidgetEvent());

    tree->SelectItem(b);
    EXPECT_EQ(tree->GetSelectedItem(), b);
    EXPECT_TRUE(IsWidgetEvent(40, WidgetEventCode::TreeSelChanged));
    SetWidgetEvent(0, 0);
    SendMessageA(native, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(tree->GetSelectedItem(), a);
    EXPECT_TRUE(IsWidgetEvent(40, WidgetEventCode::TreeSelChanged));

    tree->DeleteItem(b);
    EXPECT_EQ(TreeOrder(native), "c;");
    tree->Clear();
    EXPECT_EQ(TreeOrder(native), "");
    EXPECT_EQ(tree->GetSelectedItem(), nullptr);
}

} // namespace
