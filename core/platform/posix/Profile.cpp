// The system's profile reader, rebuilt: the same line splitting, trimming, matching, quote
// removal and number parsing, so that a launcher.ini gives the same answers here as on
// Windows.
#include "core/platform/Profile.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// The characters a profile line loses at both ends (Ctrl-Z included, an old end-of-file).
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == 0x1a;
}

struct Span {
    const char* begin;
    const char* end;

    size_t Length() const { return size_t(end - begin); }
};

Span Trimmed(Span text) {
    while (text.begin < text.end && IsBlank(*text.begin))
        ++text.begin;
    while (text.end > text.begin && IsBlank(text.end[-1]))
        --text.end;
    return text;
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool EqualNoCase(Span a, Span b) {
    if (a.Length() != b.Length())
        return false;
    for (size_t i = 0; i < a.Length(); ++i)
        if (Lower(a.begin[i]) != Lower(b.begin[i]))
            return false;
    return true;
}

void AppendUtf8(uint32_t code, std::string* text) {
    if (code < 0x80) {
        *text += char(code);
    } else if (code < 0x800) {
        *text += char(0xC0 | code >> 6);
        *text += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        *text += char(0xE0 | code >> 12);
        *text += char(0x80 | (code >> 6 & 0x3F));
        *text += char(0x80 | (code & 0x3F));
    } else {
        *text += char(0xF0 | code >> 18);
        *text += char(0x80 | (code >> 12 & 0x3F));
        *text += char(0x80 | (code >> 6 & 0x3F));
        *text += char(0x80 | (code & 0x3F));
    }
}

// A file that starts with the UTF-16LE byte order mark (what Notepad saves as "Unicode") is
// read as its text, in this system's 8-bit encoding (UTF-8); a lone surrogate becomes '?'.
std::string FromUtf16Le(const std::string& bytes) {
    std::string text;
    const auto unit = [&bytes](size_t i) {
        return uint32_t(uint8_t(bytes[i])) | uint32_t(uint8_t(bytes[i + 1])) << 8;
    };
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        uint32_t code = unit(i);
        if (code >= 0xD800 && code < 0xDC00 && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 &&
            unit(i + 2) < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        } else if (code >= 0xD800 && code < 0xE000) {
            code = '?';
        }
        AppendUtf8(code, &text);
    }
    return text;
}

bool ReadFile(const char* path, std::string* text) {
    FILE* file = fopen(path, "rb");
    if (!file)
        return false;
    char block[4096];
    size_t count;
    while ((count = fread(block, 1, sizeof block, file)) > 0)
        text->append(block, count);
    const bool ok = !ferror(file);
    fclose(file);
    if (text->compare(0, 2, "\xFF\xFE") == 0)
        *text = FromUtf16Le(*text);
    return ok;
}

// Finds the value of key in the first section named section. False when there is no such
// section or key, or when the key's line holds no '='.
bool FindValue(const std::string& text, Span section, Span key, std::string* value) {
    const char* next = text.data();
    const char* end = next + text.size();
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        next += 3;
    bool inSection = false;
    while (next < end) {
        Span line{next, next};
        while (next < end && *next != '\n' && *next != '\r')
            ++next;
        while (next < end && (*next == '\n' || *next == '\r'))
            ++next;
        line.end = next;
        line = Trimmed(line);
        if (line.begin == line.end)
            continue;
        // A '[' line without ']' is no header; it reads as a key line.
        const char* close = static_cast<const char*>(memchr(line.begin, ']', line.Length()));
        if (*line.begin == '[' && close) {
            if (inSection)
                return false;
            inSection = EqualNoCase(Trimmed(Span{line.begin + 1, close}), section);
            continue;
        }
        if (!inSection)
            continue;
        const char* equals = static_cast<const char*>(memchr(line.begin, '=', line.Length()));
        const Span name = Trimmed(Span{line.begin, equals ? equals : line.end});
        if (!EqualNoCase(name, key))
            continue;
        if (!equals)
            return false;
        const Span found = Trimmed(Span{equals + 1, line.end});
        value->assign(found.begin, found.end);
        return true;
    }
    return false;
}

// Copies at most size - 1 characters; a text in matching quotes loses them, the closing
// one only when the copy reached it.
uint32_t CopyEntry(const std::string& value, char* destination, uint32_t size) {
    const char* text = value.c_str();
    bool quoted = false;
    if ((text[0] == '\'' || text[0] == '"') && text[1] && value.back() == text[0]) {
        quoted = true;
        ++text;
    }
    const size_t length = strlen(text);
    const size_t copied = length < size - 1 ? length : size - 1;
    memcpy(destination, text, copied);
    destination[copied] = '\0';
    if (quoted && size >= length && copied > 0)
        destination[copied - 1] = '\0';
    return uint32_t(strlen(destination));
}

// A default loses its trailing spaces, unless nothing would be left.
std::string StrippedDefault(const char* defaultValue) {
    std::string value(defaultValue ? defaultValue : "");
    const size_t kept = value.find_last_not_of(' ');
    if (kept != std::string::npos)
        value.erase(kept + 1);
    return value;
}

} // namespace

uint32_t PlatformProfileString(const char* section, const char* key, const char* defaultValue,
                               char* destination, uint32_t size, const char* path) {
    if (!destination || size == 0)
        return 0;
    const std::string fallback = StrippedDefault(defaultValue);
    std::string text;
    if (!ReadFile(path, &text)) {
        // Without a file the default is copied as it stands, quotes and all.
        const size_t copied = fallback.size() < size - 1 ? fallback.size() : size - 1;
        memcpy(destination, fallback.data(), copied);
        destination[copied] = '\0';
        return uint32_t(copied);
    }
    const Span sectionName = Trimmed(Span{section, section + strlen(section)});
    const Span keyName = Trimmed(Span{key, key + strlen(key)});
    std::string value;
    if (!FindValue(text, sectionName, keyName, &value))
        value = fallback;
    return CopyEntry(value, destination, size);
}

int32_t PlatformProfileInt(const char* section, const char* key, int32_t defaultValue,
                           const char* path) {
    char text[30];
    if (PlatformProfileString(section, key, "", text, sizeof text, path) == 0)
        return defaultValue;
    const char* p = text;
    while (*p && uint8_t(*p) <= ' ')
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    uint32_t base = 10;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'o' || p[1] == 'b')) {
        base = p[1] == 'x' ? 16 : p[1] == 'o' ? 8 : 2;
        p += 2;
    }
    uint32_t total = 0;
    for (; *p; ++p) {
        uint32_t digit;
        if (*p >= '0' && *p <= '9')
            digit = uint32_t(*p - '0');
        else if (*p >= 'a' && *p <= 'z')
            digit = uint32_t(*p - 'a' + 10);
        else if (*p >= 'A' && *p <= 'Z')
            digit = uint32_t(*p - 'A' + 10);
        else
            break;
        if (digit >= base)
            break;
        total = total * base + digit;
    }
    return int32_t(negative ? 0u - total : total);
}
