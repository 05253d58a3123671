#include "launcher/win32/MainWnd.h"

#include "core/strings/TextCompare.h"
#include "launcher/MainLoop.h"

#include <algorithm>

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

RECT MainWnd::BarRect() const {
    return {barX, barY, barX + barWidth, barY + barHeight};
}

void MainWnd::SetProgress(float fraction) {
    if (barWidth <= 0 || barHeight <= 0)
        return;
    const int32_t filled = fraction >= 0.0f ? int32_t(std::min(fraction, 1.0f) * barWidth) : -1;
    if (filled == barFilled)
        return;
    barFilled = filled;
    const RECT rect = BarRect();
    InvalidateRect(GetHandle(), &rect, FALSE);
}

void MainWnd::Paint(HWND window) {
    PAINTSTRUCT paint;
    HDC target = BeginPaint(window, &paint);
    // Drawn off the screen and copied in one step, so that the picture never shows for a moment
    // where the bar or the text will be.
    const RECT area = paint.rcPaint;
    const int width = area.right - area.left, height = area.bottom - area.top;
    HDC frame = CreateCompatibleDC(target);
    HBITMAP frameBitmap =
        frame && width > 0 && height > 0 ? CreateCompatibleBitmap(target, width, height) : nullptr;
    if (frameBitmap) {
        HGDIOBJ shown = SelectObject(frame, frameBitmap);
        SetViewportOrgEx(frame, -area.left, -area.top, nullptr);
        // What the screen shows stays where the picture does not reach.
        BitBlt(frame, area.left, area.top, width, height, target, area.left, area.top, SRCCOPY);
        DrawPicture(frame);
        DrawBar(frame);
        DrawStatusText(frame);
        BitBlt(target, area.left, area.top, width, height, frame, area.left, area.top, SRCCOPY);
        SelectObject(frame, shown);
        DeleteObject(frameBitmap);
    }
    if (frame)
        DeleteDC(frame);
    EndPaint(window, &paint);
}

void MainWnd::DrawPicture(HDC target) {
    HDC source = CreateCompatibleDC(target);
    HGDIOBJ shown = SelectObject(source, background);
    BitBlt(target, 0, 0, int(GetWidth()), int(GetHeight()), source, 0, 0, SRCCOPY);
    SelectObject(source, shown);
    DeleteDC(source);
}

namespace {
void FillSolid(HDC target, const RECT& rect, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(target, &rect, brush);
    DeleteObject(brush);
}
} // namespace

void MainWnd::DrawBar(HDC target) {
    if (barFilled < 0)
        return;
    const RECT bar = BarRect();
    FillSolid(target, {bar.left, bar.top, bar.left + barFilled, bar.bottom}, barColour);
    if (barBack)
        FillSolid(target, {bar.left + barFilled, bar.top, bar.right, bar.bottom}, barBackColour);
}

void MainWnd::DrawStatusText(HDC target) {
    HFONT font = CreateFontA(fontSize, 0, 0, 0, 0, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                             CLEARTYPE_QUALITY, VARIABLE_PITCH, fontFace);
    HGDIOBJ shown = SelectObject(target, font);
    SetTextColor(target, RGB(fontR & 0xFF, fontG & 0xFF, fontB & 0xFF));
    SetBkMode(target, TRANSPARENT);
    RECT rect = TextRect();
    DrawTextA(target, GetText(), -1, &rect, DT_NOCLIP);
    SelectObject(target, shown);
    DeleteObject(font);
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
