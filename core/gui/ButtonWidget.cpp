#include "core/gui/ButtonWidget.h"

#include "core/gui/WidgetEvent.h"

ButtonWidget::ButtonWidget(int id, BaseWidget* parent, const char* text, float x, float y,
                           float width, float height)
    : BaseWidget(id, parent, text) {
    CreateControl("BUTTON", this->text, WS_CHILD | WS_VISIBLE, x, y, width, height);
}

void ButtonWidget::OnCommand(UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && LOWORD(wParam) == id && HIWORD(wParam) == BN_CLICKED) {
        SetWidgetEvent(id, WidgetEventCode::ButtonClicked);
    }
}
