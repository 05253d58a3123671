#include "core/gui/TextBoxWidget.h"

#include "core/gui/WidgetEvent.h"

SubclassRegistry textBoxSubclasses;

TextBoxWidget::TextBoxWidget(int id, BaseWidget* parent, const char* text, float x, float y,
                             float width, float height)
    : BaseWidget(id, parent, text) {
    CreateControl("EDIT", this->text,
                  WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, x, y, width,
                  height);
    InstallSubclass(textBoxSubclasses, this, TextBoxProc);
}

TextBoxWidget::~TextBoxWidget() {
    RemoveSubclass(textBoxSubclasses, this);
}

void TextBoxWidget::SetText(const char* s) {
    suppressCount = 2;
    BaseWidget::SetText(s);
    SetWindowTextA(handle, text);
}

const char* TextBoxWidget::GetText() {
    GetWindowTextA(handle, text, kTextSize);
    return text;
}

void TextBoxWidget::OnCommand(UINT message, WPARAM, LPARAM) {
    if (message == WM_CHAR && suppressCount == 0) {
        GetWindowTextA(handle, text, kTextSize);
        SetWidgetEvent(id, WidgetEventCode::TextTyped);
    }
    if (suppressCount != 0) {
        --suppressCount;
    }
}

LRESULT CALLBACK TextBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    SubclassEntry entry;
    if (!FindSubclass(textBoxSubclasses, window, &entry)) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    entry.widget->OnCommand(message, wParam, lParam);
    return CallWindowProcA(entry.previousProc, window, message, wParam, lParam);
}
