// Path text. Both '/' and '\' separate; drive letters mean nothing here. Functions that fill a
// destination take its size and cut at size - 1, terminated.
#pragma once

#include <cstddef>

// Keeps the first separator of every run of separators: "a//b\\\\c" becomes "a/b\c".
void PathCollapseSeparators(char* path);

// The text after the last separator; the whole path when there is none.
void PathFileName(const char* path, char* destination, size_t size);

// The path up to and including its last separator, when that stands past index 0. Otherwise
// the destination is made empty when clear is set and left alone when it is not.
void PathDirectory(const char* path, char* destination, size_t size, bool clear);

// The path without its first strlen(base) characters, or empty when the path is not longer
// than base. Whether base really is a prefix is not checked.
void PathRelative(const char* base, const char* path, char* destination, size_t size);

// The characters before the first separator; all of them when there is none.
void PathFirstComponent(const char* path, char* destination, size_t size);

// PathDirectory (clear unset) of the longest case-sensitive common prefix of a and b.
void PathCommonDirectory(const char* a, const char* b, char* destination, size_t size);

// Replaces every '\' by '/', the last character included.
void PathToForwardSlashes(char* path);

// The extension as found by walking back from the last character at most count steps (and
// never to index 0) looking for a dot: the text after the stop. destination holds count + 1.
void PathExtension(const char* path, char* destination, size_t count);

// Drops characters from the end up to and including the last dot; no dot leaves "".
void PathStripExtension(char* path);
