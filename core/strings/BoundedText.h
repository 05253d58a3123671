// Bounded copy, concatenation, formatting and in-place edits of NUL-terminated 8-bit text
// (and a copy and lowering of 16-bit text). Sizes count the terminator. Nothing here
// allocates. StrInsert uses one process-wide scratch buffer and must not run on two threads at
// once; everything else may.
#pragma once

#include <cstddef>

// Copies source into destination when it fits (length + 1 <= size); otherwise copies the first
// size - 1 characters and terminates. Returns the size source needs: its length + 1.
size_t StrCopy(char* destination, size_t size, const char* source);

// StrCopy over 16-bit text; size counts 16-bit units.
void WStrCopy(char16_t* destination, size_t size, const char16_t* source);

// Appends source to the text in destination. A result that does not fit is cut at size - 1
// and terminated; returns false then (and when destination holds no terminator within size).
bool StrCat(char* destination, size_t size, const char* source);

// Formats with printf semantics into a scratch buffer of the calling thread's own (at most
// kFormatScratchLength characters; longer output is cut there), then StrCopy's into
// destination. Returns the size the (possibly cut) formatted text needs.
constexpr size_t kFormatScratchLength = 4092;
size_t StrFormat(char* destination, size_t size, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;

// Scans source with a scanf format into the outputs that follow; returns the number of fields
// stored. "%s" and "%[" conversions must carry a width that fits their buffers.
int StrScan(const char* source, const char* format, ...);

// Rebuilds text in place as: its first position characters, the whole insertion, the rest.
// The text passes through a scratch of kInsertScratchLength characters (longer text is cut
// there). A position beyond the text inserts nothing. The caller's buffer must hold the result.
constexpr size_t kInsertScratchLength = 510;
void StrInsert(char* text, const char* insertion, size_t position);

// Drops the first character by shifting the rest left; an empty text stays empty.
void StrRemoveFirst(char* text);

// Lowers the letters A to Z in place; nothing else changes.
void StrToLower(char* text);
void WStrToLower(char16_t* text);
