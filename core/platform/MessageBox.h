// A modal message for the user.
//
// Contract:
//   PlatformMessageBox(owner, text, caption)
//       Windows: a MessageBoxA with an OK button, owned by the native window owner (null for
//       none); blocks the calling thread until the user closes it. Other targets write one
//       line "caption: text" to standard error and return at once.
#pragma once

void PlatformMessageBox(void* owner, const char* text, const char* caption);
