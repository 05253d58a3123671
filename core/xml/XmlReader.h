// A cursor over a loaded XML document: it walks down into child elements, reads the values of
// the current element's children (text, booleans, numbers, matrices, vectors) and consumes the
// document as it leaves elements.
//
// Create a reader with XmlReader::Create (zero-filled), Open it once, then use EnterChild,
// LeaveChild and the readers; Close deletes the document and frees the reader, also after a
// failed Open. One thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>

class TiXmlDocument;
class TiXmlNode;

struct XmlReader {
    // Entry 0 of the stack is the root element, so 49 levels below it can be entered.
    static constexpr int kStackSize = 50;
    static constexpr size_t kMaxPathLength = 2047;

    TiXmlDocument* document; // owned
    int32_t depth;           // index in stack of the current node
    TiXmlNode* stack[kStackSize];
    TiXmlNode* current; // always stack[depth]

    // A zero-filled reader on the heap, or null when memory is short.
    static XmlReader* Create();

    // Loads the document at path and makes its top-level element rootName (compared with case)
    // current. False when the path is longer than kMaxPathLength, the file is missing,
    // unreadable, not well-formed, nested deeper than kXmlMaxNesting levels (see XmlNesting.h)
    // or has no such root. sourceFile and sourceLine name the caller and are not used.
    bool Open(const char* path, const char* rootName, const char* sourceFile, int32_t sourceLine);

    // Makes the current element's first child element called name current, one level deeper.
    // False, nothing changed, when there is none or the stack is full.
    bool EnterChild(const char* name);
    // Deletes the current element from its parent (with everything inside it) and makes the
    // parent current again, so that the next EnterChild with the same name finds the next
    // sibling. Does nothing at the root.
    void LeaveChild();

    // The readers look at the first child element called name of the current element. They
    // return false, destination untouched, only when there is no such child. A child whose
    // first content is not text (it is empty or starts with a comment or an element) has no
    // text: ReadText then stores "", the others leave their destination alone.

    // Copies the child's text into destination (size bytes), cut at size - 1 and terminated.
    bool ReadText(const char* name, char* destination, size_t size);
    template <size_t N>
    bool ReadText(const char* name, char (&destination)[N]) {
        return ReadText(name, destination, N);
    }
    // True exactly when the text is "1".
    bool ReadBool(const char* name, bool* value);
    // The decimal number at the start of the text, with a '.' or a ',' before the fraction,
    // whatever the process's locale (see XmlNumberText.h); the first ',' in the document's text
    // is replaced by a '.'.
    bool ReadFloat(const char* name, float* value);
    // The integer at the start of the text, as atoi reads it; values beyond 32 bits are clamped.
    bool ReadInt(const char* name, int32_t* value);
    bool ReadLong(const char* name, int32_t* value);
    // A 4 x 4 matrix, row by row, from the child's elements "m11" ... "m43" as ReadFloat reads
    // them. It starts as the identity: missing elements keep their identity value, and the
    // fourth column, which is never written, stays 0, 0, 0, 1.
    bool ReadMatrix(const char* name, float (&matrix)[16]);
    // x, y, z and w from the child's elements of those names; missing ones stay as they were.
    bool ReadVector(const char* name, float (&vector)[4]);

    // Deletes the document, if any, and frees the reader.
    void Close();
};
