// A scroll bar control that keeps its own position from 0 to its maximum (100 at first, with
// a page of 10). It records no widget event; the application reads GetPosition.
#pragma once

#include "core/gui/BaseWidget.h"

class ScrollBarWidget : public BaseWidget {
public:
    ScrollBarWidget(int id, BaseWidget* parent, bool horizontal, float x, float y, float width,
                    float height);

    // Applies a scroll notification of this control (lParam its handle): line steps move by
    // one within 0 to maximum, page steps do nothing, thumb codes take the 16-bit position,
    // top and bottom jump to the ends.
    void OnCommand(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Sets page and maximum; a position beyond the new maximum moves to maximum - 1 (not
    // below 0).
    void SetRange(int page, int maximum);
    int GetPosition() const { return position; }
    // Pushes the stored position to the control; the argument is not used.
    void ApplyPosition(int unused);

protected:
    int position = 0;
    int maximum = 0;
    int pageSize = 0;
};
