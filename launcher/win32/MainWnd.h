// The launcher's splash window: a borderless window that shows a bitmap over its whole client
// area and one line of status text on it, in the configured font, colour and place.
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
    // Paints the bitmap and the text; its destruction requests the launcher's quit.
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    HBITMAP background;
    char fontFace[128];
    int32_t fontSize = 0;
    int32_t fontR = 0; // colour parts; only the low 8 bits count
    int32_t fontG = 0;
    int32_t fontB = 0;
    int32_t textX = 0;
    int32_t textY = 0;

private:
    RECT TextRect() const;
    void Paint(HWND window);
};

// The splash window, for the worker's message boxes too.
extern MainWnd* mainWindow;
