#include "core/gui/TreeViewWidget.h"

#include "core/gui/WidgetEvent.h"

TreeViewWidget::TreeViewWidget(int id, BaseWidget* parent, float x, float y, float width,
                               float height)
    : BaseWidget(id, parent, "") {
    CreateControl(WC_TREEVIEWA, "", WS_CHILD | WS_BORDER | TVS_SHOWSELALWAYS | TVS_HASLINES, x, y,
                  width, height);
}

void TreeViewWidget::OnCommand(UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsOwnNotification(message, wParam, lParam, TVN_SELCHANGEDA)) {
        SetWidgetEvent(id, WidgetEventCode::TreeSelChanged);
    }
}

void TreeViewWidget::Sort() {
    SendMessageA(handle, TVM_SORTCHILDREN, TRUE, 0);
}

HTREEITEM TreeViewWidget::InsertItem(const char* text, int) {
    TVINSERTSTRUCTA insert = {};
    insert.hParent = TVI_ROOT;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_PARAM | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<char*>(text ? text : "");
    insert.item.cchTextMax = 128;
    insert.item.lParam = 1;
    auto item = reinterpret_cast<HTREEITEM>(
        SendMessageA(handle, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    Sort();
    return item;
}

void TreeViewWidget::SetItemText(HTREEITEM item, const char* text) {
    TVITEMA change = {};
    change.mask = TVIF_TEXT;
    change.hItem = item;
    change.pszText = const_cast<char*>(text ? text : "");
    change.cchTextMax = 1;
    SendMessageA(handle, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&change));
    Sort();
}

void TreeViewWidget::DeleteItem(HTREEITEM item) {
    SendMessageA(handle, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item));
}

HTREEITEM TreeViewWidget::GetSelectedItem() {
    return reinterpret_cast<HTREEITEM>(SendMessageA(handle, TVM_GETNEXTITEM, TVGN_CARET, 0));
}

void TreeViewWidget::SelectItem(HTREEITEM item) {
    SendMessageA(handle, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

void TreeViewWidget::Clear() {
    SendMessageA(handle, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
}
