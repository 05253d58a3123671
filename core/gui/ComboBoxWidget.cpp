#include "core/gui/ComboBoxWidget.h"

#include "core/gui/WidgetEvent.h"

ComboBoxWidget::ComboBoxWidget(int id, BaseWidget* parent, const char* text, float x, float y,
                               float width, float height)
    : BaseWidget(id, parent, text) {
    CreateControl("COMBOBOX", text,
                  WS_CHILD | WS_VISIBLE | WS_BORDER | CBS_DISABLENOSCROLL | CBS_DROPDOWNLIST, x, y,
                  width, height);
}

void ComboBoxWidget::SetText(const char* s) {
    if (!s) {
        return;
    }
    LRESULT found =
        SendMessageA(handle, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(s));
    if (found != CB_ERR) {
        SetSelection(static_cast<int>(found));
    }
}

void ComboBoxWidget::OnCommand(UINT, WPARAM wParam, LPARAM) {
    if (LOWORD(wParam) == id && HIWORD(wParam) == CBN_SELCHANGE) {
        GetWindowTextA(handle, text, kTextSize - 1);
        SetWidgetEvent(id, WidgetEventCode::ComboSelChanged);
    }
}

void ComboBoxWidget::Clear() {
    SendMessageA(handle, CB_RESETCONTENT, 0, 0);
}

void ComboBoxWidget::AddItem(const char* item) {
    SendMessageA(handle, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item ? item : ""));
}

void ComboBoxWidget::SetSelection(int index) {
    SendMessageA(handle, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    GetWindowTextA(handle, text, kTextSize - 1);
}

int ComboBoxWidget::GetSelection() {
    return static_cast<int>(SendMessageA(handle, CB_GETCURSEL, 0, 0));
}
