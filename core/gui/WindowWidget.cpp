#include "core/gui/WindowWidget.h"

#include <commctrl.h>

#include <algorithm>

std::vector<WindowWidget*> windowRegistry;

namespace {

const char kClassName[] = "ZEdaroDozaza";
bool classRegistered = false;

void RegisterWindowClass() {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_CLASSDC;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);
}

bool IsTabSelChanging(UINT message, LPARAM lParam) {
    return message == WM_NOTIFY && lParam &&
           reinterpret_cast<const NMHDR*>(lParam)->code == static_cast<UINT>(TCN_SELCHANGING);
}

} // namespace

WindowWidget::WindowWidget(int id, const char* title, bool noCaption, float x, float y, float width,
                           float height)
    : BaseWidget(id, nullptr, title) {
    // Registered before the window exists, so no message of this window is ever missed.
    windowRegistry.push_back(this);
    this->x = x;
    this->y = y;
    this->width = width;
    this->height = height;
    visible = false;
    if (!classRegistered) {
        RegisterWindowClass();
        classRegistered = true;
    }
    DWORD style = WS_POPUP | (noCaption ? 0 : WS_CAPTION);
    handle = CreateWindowExA(0, kClassName, text, style, TruncateToInt(x), TruncateToInt(y),
                             TruncateToInt(width), TruncateToInt(height), nullptr, nullptr, nullptr,
                             nullptr);
    SetWindowLongA(handle, GWL_ID, id);
}

WindowWidget::~WindowWidget() {
    auto found = std::find(windowRegistry.begin(), windowRegistry.end(), this);
    if (found != windowRegistry.end()) {
        windowRegistry.erase(found);
    }
}

LRESULT WindowWidget::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    int px = static_cast<short>(LOWORD(lParam));
    int py = static_cast<short>(HIWORD(lParam));
    // Hooks may change the list, so it is walked by index and its size read again each step.
    auto eachChildLastFirst = [&](void (BaseWidget::*hook)(int, int)) {
        for (size_t i = children.size(); i-- > 0;) {
            if (i < children.size()) {
                BaseWidget* child = children[i];
                (child->*hook)(TruncateToInt(px - child->GetX()),
                               TruncateToInt(py - child->GetY()));
            }
        }
    };
    switch (message) {
    case WM_MOUSEMOVE:
        eachChildLastFirst(&BaseWidget::OnMouseMove);
        break;
    case WM_LBUTTONDOWN:
        OnLeftDown(px, py);
        break;
    case WM_LBUTTONUP:
        OnLeftUp(px, py);
        break;
    case WM_LBUTTONDBLCLK:
        eachChildLastFirst(&BaseWidget::OnLeftDoubleClick);
        break;
    case WM_RBUTTONDOWN:
        eachChildLastFirst(&BaseWidget::OnRightDown);
        break;
    case WM_RBUTTONUP:
        eachChildLastFirst(&BaseWidget::OnRightUp);
        break;
    case WM_MBUTTONDOWN:
        eachChildLastFirst(&BaseWidget::OnMiddleDown);
        break;
    case WM_MBUTTONUP:
        eachChildLastFirst(&BaseWidget::OnMiddleUp);
        break;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_HSCROLL:
    case WM_VSCROLL:
        // Tab strips may always change their page.
        if (IsTabSelChanging(message, lParam)) {
            return 0;
        }
        if (LOWORD(wParam) != id) {
            for (size_t i = 0; i < children.size(); ++i) {
                children[i]->OnCommand(message, wParam, lParam);
            }
        }
        break;
    case WM_PAINT:
    case WM_DRAWITEM:
        for (size_t i = 0; i < children.size(); ++i) {
            children[i]->Draw();
        }
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    for (WindowWidget* widget : windowRegistry) {
        if (widget->GetHandle() == window) {
            return widget->HandleMessage(window, message, wParam, lParam);
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
