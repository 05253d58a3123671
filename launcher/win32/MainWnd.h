// The launcher's splash window: a borderless window that shows a bitmap over its whole client
// area, a progress bar when the studio places one, and one line of status text on top, in the
// configured font, colour and place.
#pragma once

#include "core/gui/WindowWidget.h"

#include <windows.h>

#include <cstdint>

class MainWnd : public WindowWidget {
public:
    // The status text is drawn in this rectangle from (textX, textY); only it is repainted when
    // the text changes.
    static constexpr int kTextWidth = 800;
    static constexpr int kTextHeight = 100;

    // Creates the native window, hidden, and loads the bitmap from bitmapPath (the file's own
    // size); without it the window shows neither picture nor text.
    MainWnd(int id, const char* title, const char* bitmapPath, float x, float y, float width,
            float height);
    ~MainWnd() override;

    // Repaints the text rectangle only when text differs from the current one without regard
    // to case; stores it in every case.
    void SetText(const char* text) override;
    // Shows the bar filled to fraction (0 to 1), or hides it for a negative fraction. Only the
    // bar's rectangle is repainted, and only when its filled pixels change.
    void SetProgress(float fraction);
    // Paints the bitmap, the bar and the text; its destruction requests the launcher's quit.
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    HBITMAP background;
    char fontFace[128];
    int32_t fontSize = 0;
    int32_t fontR = 0; // colour parts; only the low 8 bits count
    int32_t fontG = 0;
    int32_t fontB = 0;
    int32_t textX = 0;
    int32_t textY = 0;
    // The bar's rectangle; no bar without a width and a height.
    int32_t barX = 0;
    int32_t barY = 0;
    int32_t barWidth = 0;
    int32_t barHeight = 0;
    COLORREF barColour = 0;     // of the filled part
    COLORREF barBackColour = 0; // of the rest, when barBack is set; else the picture shows
    bool barBack = false;

private:
    RECT TextRect() const;
    RECT BarRect() const;
    void Paint(HWND window);
    // Each draws into target, whose origin is the window's.
    void DrawPicture(HDC target);
    void DrawBar(HDC target);
    void DrawStatusText(HDC target);

    int32_t barFilled = -1; // pixels of the bar filled; -1 while it is hidden
};

// The splash window, for the worker's message boxes too.
extern MainWnd* mainWindow;
