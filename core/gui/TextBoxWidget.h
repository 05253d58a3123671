// A single-line edit field. Each character that reaches it records (id, TextTyped), except
// while SetText's own messages pass: the next two messages after SetText raise nothing.
#pragma once

#include "core/gui/BaseWidget.h"
#include "core/gui/SubclassEntry.h"

class TextBoxWidget : public BaseWidget {
public:
    TextBoxWidget(int id, BaseWidget* parent, const char* text, float x, float y, float width,
                  float height);
    ~TextBoxWidget() override;

    void SetText(const char* s) override;
    // Reads the control's current text.
    const char* GetText() override;
    // Called for every message of the control and every notification routed to it. On a
    // character the stored text becomes the text before that keystroke.
    void OnCommand(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    int suppressCount = 0;
};

extern SubclassRegistry textBoxSubclasses;

// Replacement procedure of every text box: shows each message to the widget first.
LRESULT CALLBACK TextBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
