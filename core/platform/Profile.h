// Settings files of "[section]" headers and "key=value" lines, read the way the system's
// profile functions read them, so that one file gives the same answers on every target.
//
// Contract (every target):
//   PlatformProfileString(section, key, defaultValue, destination, size, path)
//       copies the value of key in section of the file at path into destination (size bytes,
//       terminator included) and returns the number of characters copied. Section and key
//       names match without regard to case; blanks around names and values do not count; a
//       value in matching single or double quotes loses them; of duplicate keys the first
//       counts, and only the first section of a name is searched; lines that are neither a
//       header nor hold a key (comments) match nothing. A missing file, section or key, or a
//       key line without '=', gives defaultValue (trailing blanks removed). A longer text is
//       cut at size - 1 characters and terminated. A size of 0 copies nothing and returns 0.
//       A file in UTF-16LE with a byte order mark is read as its text, in the system's 8-bit
//       encoding (the ANSI code page on Windows, UTF-8 elsewhere).
//   PlatformProfileInt(section, key, defaultValue, path)
//       the value read as above (at most 29 characters) and turned into a number as the
//       system does: leading blanks and one sign skipped, "0x", "0o" and "0b" select base
//       16, 8 and 2, digits are taken up to the first that does not belong ("12abc" is 12,
//       "abc" is 0), in 32-bit arithmetic that wraps. A missing or empty value gives
//       defaultValue.
// Windows answers through GetPrivateProfileStringA and GetPrivateProfileIntA; the other
// targets parse the file themselves. Nothing is ever written to the file.
#pragma once

#include <cstddef>
#include <cstdint>

uint32_t PlatformProfileString(const char* section, const char* key, const char* defaultValue,
                               char* destination, uint32_t size, const char* path);
int32_t PlatformProfileInt(const char* section, const char* key, int32_t defaultValue,
                           const char* path);
