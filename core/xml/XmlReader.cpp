#include "core/xml/XmlReader.h"

#include "core/files/FileStream.h"
#include "core/strings/BoundedText.h"
#include "core/xml/XmlNesting.h"
#include "core/xml/XmlNumberText.h"
#include "core/xml/XmlValueNames.h"

#include <tinyxml.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace {
// The first child element called name of node; null when there is none or no node.
TiXmlElement* ChildOf(TiXmlNode* node, const char* name) {
    return node ? node->FirstChildElement(name) : nullptr;
}

// The element's text node when its first content is text, else null.
TiXmlText* TextOf(TiXmlElement* element) {
    TiXmlNode* first = element->FirstChild();
    return first ? first->ToText() : nullptr;
}

// The ReadFloat rules for the child called name of parent.
bool ReadFloatChild(TiXmlNode* parent, const char* name, float* value) {
    TiXmlElement* element = ChildOf(parent, name);
    if (!element)
        return false;
    TiXmlText* text = TextOf(element);
    if (!text)
        return true;
    // A decimal comma is turned into a dot in the document too, as readers of it expect.
    std::string number = text->ValueStr();
    const size_t comma = number.find(',');
    if (comma != std::string::npos) {
        number[comma] = '.';
        text->SetValue(number);
    }
    *value = XmlTextToFloat(number.c_str());
    return true;
}

// TinyXML (and the nesting walk) step over a whole UTF-8 sequence (up to 4 bytes) when they
// meet a lead byte, also past the terminator when the text ends in one; these NULs stop them.
constexpr size_t kTerminatorPadding = 8;

// The file's bytes, terminated, with line ends made LF as TinyXML's own loader does.
bool LoadText(const char* path, std::vector<char>* text) {
    FileStream* file = FileStream::Create();
    if (!file)
        return false;
    bool loaded = file->Open(path, ReadBinary, __FILE__, __LINE__);
    if (loaded) {
        const uint32_t size = file->GetSize();
        text->assign(size_t(size) + kTerminatorPadding, '\0');
        loaded = file->ReadAll(text->data(), size);
    }
    file->Close();
    if (!loaded)
        return false;
    char* out = text->data();
    for (const char* in = text->data(); *in; ++in) {
        if (*in == '\r') {
            *out++ = '\n';
            if (in[1] == '\n')
                ++in;
        } else {
            *out++ = *in;
        }
    }
    *out = '\0';
    return true;
}
} // namespace

XmlReader* XmlReader::Create() {
    return static_cast<XmlReader*>(calloc(1, sizeof(XmlReader)));
}

bool XmlReader::Open(const char* path, const char* rootName, const char*, int32_t) {
    delete document;
    document = nullptr;
    depth = 0;
    stack[0] = current = nullptr;
    if (strlen(path) > kMaxPathLength)
        return false;
    document = new (std::nothrow) TiXmlDocument(path);
    if (!document)
        return false;
    // A document too large for the memory at hand is refused like an unreadable one.
    try {
        std::vector<char> text;
        if (!LoadText(path, &text) || !XmlNestingWithin(text.data()))
            return false;
        document->Parse(text.data(), nullptr, TIXML_DEFAULT_ENCODING);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (document->Error())
        return false;
    stack[0] = current = document->FirstChildElement(rootName);
    return current != nullptr;
}

bool XmlReader::EnterChild(const char* name) {
    if (!current || depth + 1 >= kStackSize)
        return false;
    TiXmlElement* child = ChildOf(current, name);
    if (!child)
        return false;
    stack[++depth] = current = child;
    return true;
}

void XmlReader::LeaveChild() {
    if (depth <= 0)
        return;
    TiXmlNode* child = stack[depth--];
    current = stack[depth];
    current->RemoveChild(child);
}

bool XmlReader::ReadText(const char* name, char* destination, size_t size) {
    TiXmlElement* element = ChildOf(current, name);
    if (!element)
        return false;
    const char* text = element->GetText();
    StrCopy(destination, size, text ? text : "");
    return true;
}

bool XmlReader::ReadBool(const char* name, bool* value) {
    TiXmlElement* element = ChildOf(current, name);
    if (!element)
        return false;
    if (const char* text = element->GetText())
        *value = strcmp(text, "1") == 0;
    return true;
}

bool XmlReader::ReadFloat(const char* name, float* value) {
    return ReadFloatChild(current, name, value);
}

bool XmlReader::ReadInt(const char* name, int32_t* value) {
    TiXmlElement* element = ChildOf(current, name);
    if (!element)
        return false;
    if (const char* text = element->GetText())
        *value = XmlTextToInt(text);
    return true;
}

bool XmlReader::ReadLong(const char* name, int32_t* value) {
    return ReadInt(name, value);
}

bool XmlReader::ReadMatrix(const char* name, float (&matrix)[16]) {
    TiXmlElement* element = ChildOf(current, name);
    if (!element)
        return false;
    for (int i = 0; i < 16; ++i)
        matrix[i] = i % 5 == 0 ? 1.0f : 0.0f;
    for (const XmlMatrixCell& cell : kXmlMatrixCells)
        ReadFloatChild(element, cell.name, &matrix[cell.index]);
    return true;
}

bool XmlReader::ReadVector(const char* name, float (&vector)[4]) {
    TiXmlElement* element = ChildOf(current, name);
    if (!element)
        return false;
    for (int i = 0; i < 4; ++i)
        ReadFloatChild(element, kXmlVectorNames[i], &vector[i]);
    return true;
}

void XmlReader::Close() {
    delete document;
    free(this);
}
