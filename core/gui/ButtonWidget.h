// A push button; a click records (id, ButtonClicked). SetText changes the stored text only,
// not the caption on the screen.
#pragma once

#include "core/gui/BaseWidget.h"

class ButtonWidget : public BaseWidget {
public:
    ButtonWidget(int id, BaseWidget* parent, const char* text, float x, float y, float width,
                 float height);

    void OnCommand(UINT message, WPARAM wParam, LPARAM lParam) override;
};
