#include "core/gui/BaseWidget.h"

#include "core/gui/WidgetEvent.h"
#include "core/strings/BoundedText.h"

#include <algorithm>
#include <climits>
#include <cmath>

int TruncateToInt(float value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= 2147483648.0f) {
        return INT_MAX;
    }
    if (value <= -2147483648.0f) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

BaseWidget::BaseWidget(int id, BaseWidget* parent, const char* text) : id(id), parent(parent) {
    StrCopy(this->text, sizeof this->text, text ? text : "");
}

BaseWidget::~BaseWidget() = default;

HWND BaseWidget::GetHandle() {
    return handle;
}

int BaseWidget::GetId() {
    return id;
}

void BaseWidget::SetVisible(bool show) {
    visible = show;
    ShowWindow(handle, show ? SW_SHOWNORMAL : SW_HIDE);
}

bool BaseWidget::IsVisible() {
    return visible;
}

void BaseWidget::SetPosition(float newX, float newY) {
    x = newX;
    y = newY;
    SetWindowPos(handle, nullptr, TruncateToInt(x), TruncateToInt(y), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
}

float BaseWidget::GetX() {
    return x;
}

float BaseWidget::GetY() {
    return y;
}

void BaseWidget::SetSize(float newWidth, float newHeight) {
    width = newWidth;
    height = newHeight;
}

float BaseWidget::GetWidth() {
    return width;
}

float BaseWidget::GetHeight() {
    return height;
}

void BaseWidget::SetText(const char* s) {
    StrCopy(text, sizeof text, s ? s : "");
}

const char* BaseWidget::GetText() {
    return text;
}

void BaseWidget::Destroy() {
    DestroyWindow(handle);
    if (parent) {
        parent->RemoveChild(this);
    }
    // A child listed twice, or one whose parent is another widget, would not leave this list
    // by itself; drop every entry of it first so that none is destroyed twice.
    while (!children.empty()) {
        BaseWidget* child = children.front();
        children.erase(std::remove(children.begin(), children.end(), child), children.end());
        child->Destroy();
    }
    delete this;
}

void BaseWidget::OnMouseMove(int, int) {}

BaseWidget* BaseWidget::HitChild(int px, int py, int* childX, int* childY) {
    for (size_t i = children.size(); i-- > 0;) {
        BaseWidget* child = children[i];
        int dx = TruncateToInt(px - child->GetX());
        int dy = TruncateToInt(py - child->GetY());
        if (dx > 0 && dx < child->GetWidth() && dy > 0 && dy < child->GetHeight()) {
            *childX = dx;
            *childY = dy;
            return child;
        }
    }
    return nullptr;
}

void BaseWidget::OnLeftDown(int px, int py) {
    int cx, cy;
    if (BaseWidget* child = HitChild(px, py, &cx, &cy)) {
        child->OnLeftDown(cx, cy);
    }
}

void BaseWidget::OnLeftUp(int px, int py) {
    int cx, cy;
    if (BaseWidget* child = HitChild(px, py, &cx, &cy)) {
        child->OnLeftUp(cx, cy);
    } else {
        SetWidgetEvent(id, WidgetEventCode::Click);
    }
}

void BaseWidget::OnLeftDoubleClick(int, int) {}

void BaseWidget::OnRightDown(int, int) {}

void BaseWidget::OnRightUp(int, int) {}

void BaseWidget::OnMiddleDown(int, int) {}

void BaseWidget::OnMiddleUp(int, int) {}

void BaseWidget::OnCommand(UINT, WPARAM, LPARAM) {}

void BaseWidget::Draw() {}

void BaseWidget::Invalidate() {
    HWND target = parent ? parent->GetHandle() : handle;
    RECT area = {TruncateToInt(x), TruncateToInt(y), TruncateToInt(x + width),
                 TruncateToInt(y + height)};
    InvalidateRect(target, &area, FALSE);
}

void BaseWidget::ExtraHook() {}

void BaseWidget::AddChild(BaseWidget* child) {
    children.push_back(child);
}

void BaseWidget::RemoveChild(BaseWidget* child) {
    auto found = std::find(children.begin(), children.end(), child);
    if (found != children.end()) {
        children.erase(found);
    }
}

void BaseWidget::CreateControl(const char* className, const char* windowName, DWORD style,
                               float left, float top, float w, float h) {
    x = left;
    y = top;
    width = w;
    height = h;
    // Without a parent the child window cannot be created; the widget keeps a null handle.
    handle = CreateWindowExA(0, className, windowName, style, TruncateToInt(x), TruncateToInt(y),
                             TruncateToInt(width), TruncateToInt(height),
                             parent ? parent->GetHandle() : nullptr, nullptr, nullptr, nullptr);
    SetWindowLongA(handle, GWL_ID, id);
    if (parent) {
        parent->AddChild(this);
    }
}

bool BaseWidget::IsOwnNotification(UINT message, WPARAM wParam, LPARAM lParam, int code) const {
    return message == WM_NOTIFY && lParam && LOWORD(wParam) == id &&
           reinterpret_cast<const NMHDR*>(lParam)->code == static_cast<UINT>(code);
}
