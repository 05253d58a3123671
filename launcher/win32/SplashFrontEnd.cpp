#include "launcher/win32/SplashFrontEnd.h"

#include "core/gui/WidgetEvent.h"
#include "core/platform/MessageBox.h"
#include "core/platform/Process.h"
#include "core/strings/BoundedText.h"
#include "launcher/win32/MainWnd.h"

#include <windows.h>

#include <cstring>

namespace {
constexpr char kSplashBitmap[] = "bin//Launcher.bmp";
constexpr int kSplashId = 100;
} // namespace

void* SplashFrontEnd::Open(const EntrySettings& settings) {
    mainThread = GetCurrentThreadId();
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    const WindowPlacement at =
        CentredPlacement(desktop.right, desktop.bottom, settings.width, settings.height);
    mainWindow = new MainWnd(kSplashId, "", kSplashBitmap, float(at.x), float(at.y),
                             float(settings.width), float(settings.height));
    static_assert(sizeof mainWindow->fontFace == sizeof settings.fontFace, "face buffer");
    memcpy(mainWindow->fontFace, settings.fontFace, sizeof settings.fontFace);
    mainWindow->fontSize = settings.fontSize;
    mainWindow->fontR = settings.fontR;
    mainWindow->fontG = settings.fontG;
    mainWindow->fontB = settings.fontB;
    mainWindow->textX = settings.textX;
    mainWindow->textY = settings.textY;
    mainWindow->SetVisible(true);
    return mainWindow->GetHandle();
}

void SplashFrontEnd::ShowStatus(const StatusView& view) {
    // The speed text follows the download text on its line.
    char text[2 * kStatusSize];
    StrCopy(text, sizeof text, view.text);
    StrCat(text, sizeof text, view.speedText);
    mainWindow->SetText(text);
}

void SplashFrontEnd::Pump(uint32_t waitMilliseconds) {
    SetWidgetEvent(0, 0);
    if (waitMilliseconds)
        MsgWaitForMultipleObjectsEx(0, nullptr, waitMilliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void SplashFrontEnd::Wake() {
    PostThreadMessageA(mainThread, WM_NULL, 0, 0);
}

void SplashFrontEnd::StartProgram(const char* path, const char* parameter) {
    // A failed start goes unnoticed, as a double-click that fails would.
    PlatformStartProgram(path, parameter);
}

void SplashFrontEnd::ReportFailure(const char* text) {
    PlatformMessageBox(nullptr, text, "Error");
}
