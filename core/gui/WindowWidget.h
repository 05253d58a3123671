// The toolkit's top-level window: a popup of the window class "ZEdaroDozaza", whose shared
// procedure finds the owning object through windowRegistry and hands it the message. The
// window turns mouse, command, notification and paint messages into the hooks of itself and
// its direct children; a derived class overrides HandleMessage and passes on what it does not
// consume. Neither WM_CLOSE nor WM_DESTROY is handled here.
#pragma once

#include "core/gui/BaseWidget.h"

#include <vector>

class WindowWidget : public BaseWidget {
public:
    // Creates the native window hidden (IsVisible false): WS_POPUP, plus WS_CAPTION unless
    // noCaption. Registers the window class on first use.
    WindowWidget(int id, const char* title, bool noCaption, float x, float y, float width,
                 float height);
    ~WindowWidget() override;

    // Routes the message to the hooks; everything not answered otherwise goes on to
    // DefWindowProcA.
    virtual LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

// Every constructed and not yet destroyed window, in order of construction.
extern std::vector<WindowWidget*> windowRegistry;

// The class's procedure: the first registered window whose handle matches gets the message;
// a handle that no window owns gets DefWindowProcA.
LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
