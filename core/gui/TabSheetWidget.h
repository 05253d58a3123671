// A tab strip that groups widgets into named pages and shows only the widgets of the current
// page. A user's tab click switches the page itself and records no widget event. The pages
// list their widgets without owning them.
#pragma once

#include "core/gui/BaseWidget.h"

#include <vector>

struct TabPage {
    char name[64];
    std::vector<BaseWidget*> widgets;
};

class TabSheetWidget : public BaseWidget {
public:
    TabSheetWidget(int id, BaseWidget* parent, const char* text, float x, float y, float width,
                   float height);

    // Passes the notification to the current page's widgets, then follows the strip's own
    // selection change.
    void OnCommand(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Appends a page and its tab (name cut at 63 characters); the first page becomes current.
    virtual void AddPage(const char* name);
    // Lists widget on the page and shows it only when that page is current.
    virtual void AddToPage(int page, BaseWidget* widget);
    // Hides the current page's widgets, then shows the new page's. -1 leaves no page shown;
    // any other index that names no page is ignored. The tab strip's selection is not moved.
    virtual void SelectPage(int page);
    // The shown page, -1 for none.
    virtual int GetCurrentPage();

    void ShowPage(int page, bool show);

protected:
    std::vector<TabPage> pages;
    int currentPage = -1;

private:
    bool HasPage(int page) const;
};
