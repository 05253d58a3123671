#include "core/gui/TabSheetWidget.h"

#include "core/strings/BoundedText.h"

#include <commctrl.h>

TabSheetWidget::TabSheetWidget(int id, BaseWidget* parent, const char* text, float x, float y,
                               float width, float height)
    : BaseWidget(id, parent, text) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    CreateControl(WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE, x, y, width, height);
    currentPage = -1;
}

bool TabSheetWidget::HasPage(int page) const {
    return page >= 0 && static_cast<size_t>(page) < pages.size();
}

void TabSheetWidget::AddPage(const char* name) {
    pages.emplace_back();
    StrCopy(pages.back().name, sizeof pages.back().name, name ? name : "");
    if (pages.size() == 1) {
        currentPage = 0;
    }
    TCITEMA item = {};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = pages.back().name;
    item.iImage = -1;
    SendMessageA(handle, TCM_INSERTITEMA, pages.size() - 1, reinterpret_cast<LPARAM>(&item));
}

void TabSheetWidget::AddToPage(int page, BaseWidget* widget) {
    if (!HasPage(page) || !widget) {
        return;
    }
    pages[page].widgets.push_back(widget);
    widget->SetVisible(page == currentPage);
}

void TabSheetWidget::SelectPage(int page) {
    if (page == currentPage || (page != -1 && !HasPage(page))) {
        return;
    }
    ShowPage(currentPage, false);
    currentPage = page;
    ShowPage(page, true);
}

int TabSheetWidget::GetCurrentPage() {
    return currentPage;
}

void TabSheetWidget::ShowPage(int page, bool show) {
    // Indexes, not iterators: a widget may add to the pages while it is shown or hidden.
    for (size_t i = 0; HasPage(page) && i < pages[page].widgets.size(); ++i) {
        pages[page].widgets[i]->SetVisible(show);
    }
}

void TabSheetWidget::OnCommand(UINT message, WPARAM wParam, LPARAM lParam) {
    int page = currentPage;
    for (size_t i = 0; HasPage(page) && i < pages[page].widgets.size(); ++i) {
        pages[page].widgets[i]->OnCommand(message, wParam, lParam);
    }
    if (IsOwnNotification(message, wParam, lParam, TCN_SELCHANGE)) {
        SelectPage(static_cast<int>(SendMessageA(handle, TCM_GETCURSEL, 0, 0)));
    }
}
