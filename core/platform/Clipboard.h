// The system clipboard's plain-text format, step by step, so that the text helpers keep
// their own order of calls. Only one thread may hold the clipboard open at a time.
//
// Contract:
//   PlatformClipboardOpen()      opens the clipboard with no owner window; false when it
//                                cannot be opened. Linux has no clipboard: always false.
//   PlatformClipboardClose()     closes it; returns the system's non-zero success value or 0.
//   PlatformClipboardEmpty()     empties the open clipboard; false on failure.
//   PlatformClipboardHasText()   true when the clipboard offers plain text (without opening it).
//   PlatformClipboardLockText()  the open clipboard's text, valid until
//                                PlatformClipboardUnlockText(); null when there is none.
//   PlatformClipboardPutText(text, length)
//                                copies length bytes and a terminator into system memory and
//                                hands it to the open clipboard, which owns it from then on.
//                                False (nothing handed over) when memory cannot be had.
#pragma once

#include <cstddef>

bool PlatformClipboardOpen();
int PlatformClipboardClose();
bool PlatformClipboardEmpty();
bool PlatformClipboardHasText();
const char* PlatformClipboardLockText();
void PlatformClipboardUnlockText();
bool PlatformClipboardPutText(const char* text, size_t length);
