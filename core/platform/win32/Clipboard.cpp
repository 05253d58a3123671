#include "core/platform/Clipboard.h"

#include <windows.h>

#include <string.h>

namespace {
// The data handle behind the text handed out by PlatformClipboardLockText.
HANDLE lockedData = nullptr;
} // namespace

bool PlatformClipboardOpen() {
    return OpenClipboard(nullptr) != 0;
}

int PlatformClipboardClose() {
    return CloseClipboard();
}

bool PlatformClipboardEmpty() {
    return EmptyClipboard() != 0;
}

bool PlatformClipboardHasText() {
    return IsClipboardFormatAvailable(CF_TEXT) != 0;
}

const char* PlatformClipboardLockText() {
    lockedData = GetClipboardData(CF_TEXT);
    return lockedData ? static_cast<const char*>(GlobalLock(lockedData)) : nullptr;
}

void PlatformClipboardUnlockText() {
    if (lockedData)
        GlobalUnlock(lockedData);
    lockedData = nullptr;
}

bool PlatformClipboardPutText(const char* text, size_t length) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, length + 1);
    if (!memory)
        return false;
    char* target = static_cast<char*>(GlobalLock(memory));
    memcpy(target, text, length);
    target[length] = '\0';
    GlobalUnlock(memory);
    if (!SetClipboardData(CF_TEXT, memory)) {
        GlobalFree(memory);
        return false;
    }
    return true;
}
