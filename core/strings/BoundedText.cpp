#include "core/strings/BoundedText.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {
char insertScratch[kInsertScratchLength + 1];

template <typename Char>
size_t Length(const Char* text) {
    size_t length = 0;
    while (text[length])
        ++length;
    return length;
}

template <typename Char>
size_t CopyBounded(Char* destination, size_t size, const Char* source) {
    const size_t needed = Length(source) + 1;
    if (size == 0)
        return needed;
    const size_t count = needed <= size ? needed - 1 : size - 1;
    memcpy(destination, source, count * sizeof(Char));
    destination[count] = 0;
    return needed;
}

template <typename Char>
void LowerAscii(Char* text) {
    for (; *text; ++text)
        if (*text >= 'A' && *text <= 'Z')
            *text = Char(*text - 'A' + 'a');
}
} // namespace

size_t StrCopy(char* destination, size_t size, const char* source) {
    return CopyBounded(destination, size, source);
}

void WStrCopy(char16_t* destination, size_t size, const char16_t* source) {
    CopyBounded(destination, size, source);
}

bool StrCat(char* destination, size_t size, const char* source) {
    const char* end = static_cast<const char*>(memchr(destination, '\0', size));
    if (!end) {
        if (size > 0)
            destination[size - 1] = '\0';
        return false;
    }
    const size_t used = size_t(end - destination);
    return StrCopy(destination + used, size - used, source) <= size - used;
}

size_t StrFormat(char* destination, size_t size, const char* format, ...) {
    // On the caller's stack, so that the worker and the main loop can format at the same time.
    char formatScratch[kFormatScratchLength + 1];
    va_list arguments;
    va_start(arguments, format);
    const int written = vsnprintf(formatScratch, sizeof formatScratch, format, arguments);
    va_end(arguments);
    if (written < 0)
        formatScratch[0] = '\0';
    return StrCopy(destination, size, formatScratch);
}

int StrScan(const char* source, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const int stored = vsscanf(source, format, arguments);
    va_end(arguments);
    return stored < 0 ? 0 : stored;
}

void StrInsert(char* text, const char* insertion, size_t position) {
    StrCopy(insertScratch, sizeof insertScratch, text);
    const size_t length = strlen(insertScratch);
    if (position > length)
        return;
    const size_t insertionLength = strlen(insertion);
    memcpy(text, insertScratch, position);
    memcpy(text + position, insertion, insertionLength);
    memcpy(text + position + insertionLength, insertScratch + position, length - position + 1);
}

void StrRemoveFirst(char* text) {
    if (*text)
        memmove(text, text + 1, strlen(text));
}

void StrToLower(char* text) {
    LowerAscii(text);
}

void WStrToLower(char16_t* text) {
    LowerAscii(text);
}
