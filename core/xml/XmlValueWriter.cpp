#include "core/xml/XmlValueWriter.h"

#include "core/files/FileStream.h"
#include "core/xml/XmlEscape.h"
#include "core/xml/XmlNumberText.h"
#include "core/xml/XmlValueNames.h"

#include <cinttypes>
#include <cstring>
#include <string>

namespace {
// FilePrintLine cuts lines at this length; a longer line would lose its closing tag.
constexpr size_t kLongestPrintedLine = 1023;
} // namespace

void WriteTextElement(FileStream* file, const char* name, const char* text) {
    const std::string escaped = XmlEscaped(text);
    if (2 * strlen(name) + escaped.size() + 5 <= kLongestPrintedLine) {
        FilePrintLine(file, "<%s>%s</%s>", name, escaped.c_str(), name);
        return;
    }
    if (!file)
        return;
    const std::string line = "<" + std::string(name) + ">" + escaped + "</" + name + ">\n";
    file->Write(line.data(), uint32_t(line.size()));
}

void WriteBoolElement(FileStream* file, const char* name, uint8_t value) {
    FilePrintLine(file, "<%s>%d</%s>", name, value ? 1 : 0, name);
}

void WriteFloatElement(FileStream* file, const char* name, float value) {
    char text[kXmlFloatTextSize];
    XmlFloatToText(value, text);
    FilePrintLine(file, "<%s>%s</%s>", name, text, name);
}

void WriteIntElement(FileStream* file, const char* name, int32_t value) {
    FilePrintLine(file, "<%s>%" PRId32 "</%s>", name, value, name);
}

void WriteLongElement(FileStream* file, const char* name, int32_t value) {
    WriteIntElement(file, name, value);
}

void WriteMatrixElement(FileStream* file, const char* name, const float (&matrix)[16]) {
    FilePrintLine(file, "<%s>", name);
    for (const XmlMatrixCell& cell : kXmlMatrixCells)
        WriteFloatElement(file, cell.name, matrix[cell.index]);
    FilePrintLine(file, "</%s>", name);
}

void WriteVectorElement(FileStream* file, const char* name, const float (&vector)[4]) {
    FilePrintLine(file, "<%s>", name);
    for (int i = 0; i < 4; ++i)
        WriteFloatElement(file, kXmlVectorNames[i], vector[i]);
    FilePrintLine(file, "</%s>", name);
}
