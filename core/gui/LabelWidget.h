// Static text, or (filled) a solid bar in the label's colour, 18 units high across its width,
// with no text shown. A left-button release over either records (id, Click).
#pragma once

#include "core/gui/BaseWidget.h"
#include "core/gui/SubclassEntry.h"

class LabelWidget : public BaseWidget {
public:
    LabelWidget(int id, BaseWidget* parent, const char* text, bool filled, float x, float y,
                float width, float height);
    ~LabelWidget() override;

    // Stores the text and shows it.
    void SetText(const char* s) override;
    void OnCommand(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Paints the bar of a filled label; a plain label leaves painting to the control.
    void Draw() override;

protected:
    bool filled;
    // Red, green, blue from 0 to 1, and a fourth component that painting does not read.
    float color[4] = {1.0f, 1.0f, 1.0f, 1.0f};
};

extern SubclassRegistry labelSubclasses;

// Replacement procedure of every label: records clicks and paints the bar before the
// control's own painting.
LRESULT CALLBACK LabelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
