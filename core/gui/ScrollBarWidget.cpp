#include "core/gui/ScrollBarWidget.h"

ScrollBarWidget::ScrollBarWidget(int id, BaseWidget* parent, bool horizontal, float x, float y,
                                 float width, float height)
    : BaseWidget(id, parent, "horz_scroll") {
    CreateControl("SCROLLBAR", text, WS_CHILD | WS_VISIBLE | (horizontal ? 0 : SBS_VERT), x, y,
                  width, height);
    SetRange(10, 100);
}

void ScrollBarWidget::SetRange(int page, int newMaximum) {
    pageSize = page;
    maximum = newMaximum;
    if (position > maximum) {
        position = maximum > 0 ? maximum - 1 : 0;
    }
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = maximum;
    info.nPage = static_cast<UINT>(pageSize);
    info.nPos = position;
    SetScrollInfo(handle, SB_CTL, &info, TRUE);
}

void ScrollBarWidget::ApplyPosition(int) {
    SetScrollPos(handle, SB_CTL, position, TRUE);
}

void ScrollBarWidget::OnCommand(UINT, WPARAM wParam, LPARAM lParam) {
    if (!handle || lParam != reinterpret_cast<LPARAM>(handle)) {
        return;
    }
    switch (LOWORD(wParam)) {
    case SB_LINEUP:
        if (position > 0) {
            --position;
        }
        break;
    case SB_LINEDOWN:
        if (position < maximum) {
            ++position;
        }
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        position = HIWORD(wParam);
        break;
    case SB_TOP:
        position = 0;
        break;
    case SB_BOTTOM:
        position = maximum;
        break;
    default:
        break;
    }
    SetScrollPos(handle, SB_CTL, position, TRUE);
}
