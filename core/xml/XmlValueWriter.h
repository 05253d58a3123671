// Named values written as XML elements, one element per line (no indentation), into a file
// opened for writing. XmlReader reads every one of them back. The caller writes the XML
// declaration and the enclosing elements itself with FilePrintLine. Element names are written
// as they are; they must be valid XML names.
#pragma once

#include <cstdint>

struct FileStream;

// "<name>text</name>", with '&', '<' and '>' in the text escaped.
void WriteTextElement(FileStream* file, const char* name, const char* text);
// "<name>1</name>" for any value but 0, else "<name>0</name>".
void WriteBoolElement(FileStream* file, const char* name, uint8_t value);
// The value as "%f" writes it, with a '.' under every locale; see XmlFloatToText.
void WriteFloatElement(FileStream* file, const char* name, float value);
// The value in decimal; the two pair with ReadInt and ReadLong.
void WriteIntElement(FileStream* file, const char* name, int32_t value);
void WriteLongElement(FileStream* file, const char* name, int32_t value);
// "<name>", twelve float elements "m11", "m12", "m13", "m21" ... "m43" (the first three
// columns, row by row), "</name>".
void WriteMatrixElement(FileStream* file, const char* name, const float (&matrix)[16]);
// "<name>", float elements "x", "y", "z", "w", "</name>".
void WriteVectorElement(FileStream* file, const char* name, const float (&vector)[4]);
