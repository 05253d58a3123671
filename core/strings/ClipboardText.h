// Plain text on the system clipboard (no owner window). Linux has none: getting yields an
// empty text and 0, setting stores nothing and returns 0.
#pragma once

#include <cstddef>

// Empties destination, then copies the clipboard's text into it (cut at size - 1). Returns
// the result of closing the clipboard, or 0 when there was no text or no clipboard.
int ClipboardGetText(char* destination, size_t size);

// Replaces the clipboard's content by text. Returns the result of closing the clipboard, or 0
// when it could not be opened.
int ClipboardSetText(const char* text);
