// A tree view of top-level text items kept in sorted order; the items live in the native
// control only. A selection change, by the user or by SelectItem, records (id,
// TreeSelChanged). The control starts hidden although IsVisible reports true, until
// SetVisible(true).
#pragma once

#include "core/gui/BaseWidget.h"

#include <commctrl.h>

class TreeViewWidget : public BaseWidget {
public:
    TreeViewWidget(int id, BaseWidget* parent, float x, float y, float width, float height);

    void OnCommand(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Adds a top-level item and sorts the tree; second is not used.
    virtual HTREEITEM InsertItem(const char* text, int second);
    // Renames the item and sorts the tree again.
    virtual void SetItemText(HTREEITEM item, const char* text);
    virtual void DeleteItem(HTREEITEM item);
    // The selected item, null when none is.
    virtual HTREEITEM GetSelectedItem();
    virtual void SelectItem(HTREEITEM item);
    // Removes every item.
    virtual void Clear();

private:
    void Sort();
};
