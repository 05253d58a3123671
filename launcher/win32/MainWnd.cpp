#include "launcher/win32/MainWnd.h"

#include "core/strings/TextCompare.h"
#include "launcher/MainLoop.h"

MainWnd* mainWindow = nullptr;

MainWnd::MainWnd(int id, const char* title, const char* bitmapPath, float x, float y, float width,
                 float height)
    : WindowWidget(id, title, true, x, y, width, height) {
    fontFace[0] = '\0';
    background =
        static_cast<HBITMAP>(LoadImageA(nullptr, bitmapPath, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
}

MainWnd::~MainWnd() {
    if (background)
        DeleteObject(background);
}

RECT MainWnd::TextRect() const {
    return {textX, textY, textX + kTextWidth, textY + kTextHeight};
}

void MainWnd::SetText(const char* text) {
    if (!StrEqualNoCase(text, GetText())) {
        const RECT rect = TextRect();
        InvalidateRect(GetHandle(), &rect, FALSE);
    }
    WindowWidget::SetText(text);
}

void MainWnd::Paint(HWND window) {
    PAINTSTRUCT paint;
    HDC target = BeginPaint(window, &paint);
    HDC source = CreateCompatibleDC(target);
    SelectObject(source, background);
    BitBlt(target, 0, 0, int(GetWidth()), int(GetHeight()), source, 0, 0, SRCCOPY);
    DeleteDC(source);

    HFONT font = CreateFontA(fontSize, 0, 0, 0, 0, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                             CLEARTYPE_QUALITY, VARIABLE_PITCH, fontFace);
    SelectObject(target, font);
    SetTextColor(target, RGB(fontR & 0xFF, fontG & 0xFF, fontB & 0xFF));
    SetBkMode(target, TRANSPARENT);
    RECT rect = TextRect();
    DrawTextA(target, GetText(), -1, &rect, DT_NOCLIP);
    DeleteObject(font);
    EndPaint(window, &paint);
}

LRESULT MainWnd::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        quitRequested.store(true);
        return 0;
    }
    if (message == WM_PAINT && background)
        Paint(window);
    return WindowWidget::HandleMessage(window, message, wParam, lParam);
}
