#include "launcher/win32/SplashFrontEnd.h"

#include "core/gui/WidgetEvent.h"
#include "core/platform/MessageBox.h"
#include "core/platform/Process.h"
#include "core/strings/BoundedText.h"
#include "launcher/win32/MainWnd.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace {
constexpr char kSplashBitmap[] = "bin//Launcher.bmp";
constexpr int kSplashId = 100;
constexpr int32_t kFarthest = 1 << 20;

// The share of the phase done, 0 while its size is unknown; negative outside a download and an
// apply, which hides the bar.
float ShownFraction(const ShownProgress& progress) {
    double done = 0.0, total = 0.0;
    if (!PhaseBytes(progress, &done, &total))
        return -1.0f;
    return total > 0.0 ? float(done / total) : 0.0f;
}
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
    // Far beyond any screen, but never so far that an edge overflows.
    mainWindow->textX = std::clamp(settings.textX, -kFarthest, kFarthest);
    mainWindow->textY = std::clamp(settings.textY, -kFarthest, kFarthest);
    mainWindow->barX = std::clamp(settings.barX, -kFarthest, kFarthest);
    mainWindow->barY = std::clamp(settings.barY, -kFarthest, kFarthest);
    mainWindow->barWidth = std::clamp(settings.barWidth, 0, kFarthest);
    mainWindow->barHeight = std::clamp(settings.barHeight, 0, kFarthest);
    mainWindow->barColour = RGB(settings.barR & 0xFF, settings.barG & 0xFF, settings.barB & 0xFF);
    mainWindow->barBack =
        settings.barBackR >= 0 && settings.barBackG >= 0 && settings.barBackB >= 0;
    mainWindow->barBackColour =
        RGB(settings.barBackR & 0xFF, settings.barBackG & 0xFF, settings.barBackB & 0xFF);
    mainWindow->SetVisible(true);
    return mainWindow->GetHandle();
}

void SplashFrontEnd::ShowStatus(const StatusView& view) {
    // The speed text follows the download text on its line.
    char text[2 * kStatusSize];
    StrCopy(text, sizeof text, view.text);
    StrCat(text, sizeof text, view.speedText);
    mainWindow->SetText(text);
    mainWindow->SetProgress(ShownFraction(view.progress));
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
