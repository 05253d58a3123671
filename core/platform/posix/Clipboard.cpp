#include "core/platform/Clipboard.h"

// Linux has no clipboard the launcher could rely on without a display: it never opens, so the
// text helpers report an empty clipboard and store nothing.
bool PlatformClipboardOpen() {
    return false;
}
int PlatformClipboardClose() {
    return 0;
}
bool PlatformClipboardEmpty() {
    return false;
}
bool PlatformClipboardHasText() {
    return false;
}
const char* PlatformClipboardLockText() {
    return nullptr;
}
void PlatformClipboardUnlockText() {}
bool PlatformClipboardPutText(const char*, size_t) {
    return false;
}
