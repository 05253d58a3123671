#include "core/gui/LabelWidget.h"

#include "core/gui/WidgetEvent.h"

SubclassRegistry labelSubclasses;

namespace {

const int kBarHeight = 18;

int ColorByte(float component) {
    return TruncateToInt(component * 255.0f) & 0xFF;
}

} // namespace

LabelWidget::LabelWidget(int id, BaseWidget* parent, const char* text, bool filled, float x,
                         float y, float width, float height)
    : BaseWidget(id, parent, text), filled(filled) {
    CreateControl("STATIC", "Static",
                  WS_CHILD | WS_VISIBLE | SS_NOTIFY | (filled ? SS_OWNERDRAW : 0), x, y, width,
                  height);
    SetWindowTextA(handle, this->text);
    InstallSubclass(labelSubclasses, this, LabelProc);
}

LabelWidget::~LabelWidget() {
    RemoveSubclass(labelSubclasses, this);
}

void LabelWidget::SetText(const char* s) {
    BaseWidget::SetText(s);
    SetWindowTextA(handle, text);
}

void LabelWidget::OnCommand(UINT, WPARAM, LPARAM) {}

void LabelWidget::Draw() {
    if (!filled) {
        return;
    }
    HDC dc = GetDC(handle);
    HBRUSH brush =
        CreateSolidBrush(RGB(ColorByte(color[0]), ColorByte(color[1]), ColorByte(color[2])));
    HGDIOBJ previous = SelectObject(dc, brush);
    Rectangle(dc, 0, 0, TruncateToInt(width), kBarHeight);
    // The brush leaves the context before it is deleted, or it could not be deleted.
    SelectObject(dc, previous);
    ReleaseDC(handle, dc);
    DeleteObject(brush);
}

LRESULT CALLBACK LabelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    SubclassEntry entry;
    if (!FindSubclass(labelSubclasses, window, &entry)) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (message == WM_LBUTTONUP) {
        SetWidgetEvent(entry.widget->GetId(), WidgetEventCode::Click);
    } else if (message == WM_PAINT) {
        entry.widget->Draw();
    }
    return CallWindowProcA(entry.previousProc, window, message, wParam, lParam);
}
