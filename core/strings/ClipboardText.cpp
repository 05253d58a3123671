#include "core/strings/ClipboardText.h"

#include "core/platform/Clipboard.h"
#include "core/strings/BoundedText.h"

#include <cstring>

int ClipboardGetText(char* destination, size_t size) {
    if (size > 0)
        destination[0] = '\0';
    if (!PlatformClipboardHasText() || !PlatformClipboardOpen())
        return 0;
    if (const char* text = PlatformClipboardLockText()) {
        StrCopy(destination, size, text);
        PlatformClipboardUnlockText();
    }
    return PlatformClipboardClose();
}

int ClipboardSetText(const char* text) {
    if (!PlatformClipboardOpen())
        return 0;
    PlatformClipboardEmpty();
    // Without memory the clipboard stays empty; it is closed all the same.
    const bool stored = PlatformClipboardPutText(text, strlen(text));
    const int closed = PlatformClipboardClose();
    return stored ? closed : 0;
}
