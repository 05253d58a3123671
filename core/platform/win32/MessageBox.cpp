#include "core/platform/MessageBox.h"

#include <windows.h>

void PlatformMessageBox(void* owner, const char* text, const char* caption) {
    MessageBoxA(static_cast<HWND>(owner), text, caption, MB_OK);
}
