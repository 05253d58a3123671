// A walk over the text that takes the same steps as TinyXML 2.6's parser: the same tokens, the
// same white space, the same UTF-8 and entity rules for where a character ends, and the same
// switch of encoding after a declaration. It must agree with TinyXML on every byte up to the
// point where TinyXML fails, or it could miss a nesting that TinyXML then recurses into.
#include "core/xml/XmlNesting.h"

#include <cctype>
#include <cstring>
#include <string>

namespace {

struct Name {
    const char* begin;
    size_t length;
};

class Walk {
public:
    explicit Walk(const char* text) : p(text) {}
    bool Within();

private:
    enum class Node { Declaration, Comment, CData, Unknown, Element };

    static bool IsWhite(char c) { return isspace(static_cast<unsigned char>(c)) != 0; }
    static bool IsAlpha(char c) {
        const unsigned char u = static_cast<unsigned char>(c);
        return u >= 127 || isalpha(u);
    }
    static bool IsNameChar(char c) {
        const unsigned char u = static_cast<unsigned char>(c);
        return u >= 127 || isalnum(u) || c == '_' || c == '-' || c == '.' || c == ':';
    }
    static char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }
    static int Utf8Length(unsigned char lead) {
        return lead < 0xC2 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 1;
    }

    bool Failed() const { return !p || !*p; }
    bool At(const char* tag, bool ignoreCase = false) const;
    void SkipWhite();
    void NextChar(std::string* value);
    void Entity(std::string* value);
    void ReadTo(const char* end, bool trim, std::string* value);
    bool ReadName(Name* name);
    void Attribute(std::string* value);
    Node Identify() const;
    void Other(Node node);
    void Declaration(std::string* encoding);
    void TakeEncoding(const std::string& encoding);
    int StartTag(Name* name);
    bool Content();
    bool EndTag(const Name& name);
    bool Elements();

    const char* p; // null once TinyXML would have failed
    bool utf8 = false;
    bool encodingKnown = false;
};

// TinyXML's StringEqual: text at p begins with tag.
bool Walk::At(const char* tag, bool ignoreCase) const {
    if (Failed())
        return false;
    const char* q = p;
    for (; *q && *tag; ++q, ++tag)
        if (ignoreCase ? Lower(*q) != Lower(*tag) : *q != *tag)
            return false;
    return *tag == '\0';
}

// TinyXML's SkipWhiteSpace, which in UTF-8 also skips byte order marks; null at the end.
void Walk::SkipWhite() {
    if (Failed()) {
        p = nullptr;
        return;
    }
    while (*p) {
        if (utf8 && (At("\xEF\xBB\xBF") || At("\xEF\xBF\xBE") || At("\xEF\xBF\xBF")))
            p += 3;
        else if (IsWhite(*p))
            ++p;
        else
            break;
    }
}

// TinyXML's GetChar: a whole UTF-8 sequence (also across the terminator) or an entity.
void Walk::NextChar(std::string* value) {
    const int length = utf8 ? Utf8Length(static_cast<unsigned char>(*p)) : 1;
    if (length > 1) {
        p += length;
    } else if (*p == '&') {
        Entity(value);
    } else {
        if (value)
            *value += *p;
        ++p;
    }
}

// TinyXML's GetEntity; an unknown entity keeps its '&' as text, a bad number fails.
void Walk::Entity(std::string* value) {
    if (p[1] == '#' && p[2]) {
        const bool hex = p[2] == 'x';
        if (hex && !p[3]) {
            p = nullptr;
            return;
        }
        const char* semicolon = strchr(p + (hex ? 3 : 2), ';');
        if (!semicolon) {
            p = nullptr;
            return;
        }
        unsigned long code = 0;
        unsigned long scale = 1;
        for (const char* q = semicolon - 1; *q != (hex ? 'x' : '#'); --q, scale *= hex ? 16 : 10) {
            const char c = Lower(*q);
            if (c >= '0' && c <= '9')
                code += scale * unsigned(c - '0');
            else if (hex && c >= 'a' && c <= 'f')
                code += scale * unsigned(c - 'a' + 10);
            else {
                p = nullptr;
                return;
            }
        }
        if (value)
            *value += char(code);
        p = semicolon + 1;
        return;
    }
    static const struct {
        const char* text;
        char character;
    } kNamed[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    for (const auto& named : kNamed)
        if (strncmp(p, named.text, strlen(named.text)) == 0) {
            if (value)
                *value += named.character;
            p += strlen(named.text);
            return;
        }
    ++p;
}

// TinyXML's ReadText: up to and past end; null when that leaves nothing after it.
void Walk::ReadTo(const char* end, bool trim, std::string* value) {
    if (trim)
        SkipWhite();
    while (!Failed() && !At(end)) {
        if (trim && IsWhite(*p))
            ++p;
        else
            NextChar(value);
    }
    if (!Failed())
        p += strlen(end);
    if (Failed())
        p = nullptr;
}

bool Walk::ReadName(Name* name) {
    if (Failed() || !(IsAlpha(*p) || *p == '_'))
        return false;
    name->begin = p;
    while (*p && IsNameChar(*p))
        ++p;
    name->length = size_t(p - name->begin);
    return true;
}

// name = value, the value quoted or not; its decoded text goes to value when asked.
void Walk::Attribute(std::string* value) {
    Name name;
    SkipWhite();
    if (!ReadName(&name) || Failed()) {
        p = nullptr;
        return;
    }
    SkipWhite();
    if (Failed() || *p != '=') {
        p = nullptr;
        return;
    }
    ++p;
    SkipWhite();
    if (Failed()) {
        p = nullptr;
        return;
    }
    if (*p == '\'' || *p == '"') {
        const char quote[] = {*p++, '\0'};
        ReadTo(quote, false, value);
        return;
    }
    for (; *p && !IsWhite(*p) && *p != '/' && *p != '>'; ++p) {
        if (*p == '\'' || *p == '"') {
            p = nullptr;
            return;
        }
        if (value)
            *value += *p;
    }
}

// TinyXML's Identify, with p on a '<'.
Walk::Node Walk::Identify() const {
    if (At("<?xml", true))
        return Node::Declaration;
    if (At("<!--"))
        return Node::Comment;
    if (At("<![CDATA["))
        return Node::CData;
    if (At("<!"))
        return Node::Unknown;
    return IsAlpha(p[1]) || p[1] == '_' ? Node::Element : Node::Unknown;
}

// A node that holds no elements.
void Walk::Other(Node node) {
    switch (node) {
    case Node::Declaration:
        Declaration(nullptr);
        return;
    case Node::Comment:
        p += 4;
        while (*p && !At("-->"))
            ++p;
        if (*p)
            p += 3;
        return;
    case Node::CData:
        p += 9;
        while (*p && !At("]]>"))
            ++p;
        ReadTo("]]>", false, nullptr);
        return;
    case Node::Unknown:
    case Node::Element:
        ++p;
        while (*p && *p != '>')
            ++p;
        if (*p)
            ++p;
        return;
    }
}

// A declaration; the decoded value of its last "encoding" goes to encoding when asked.
void Walk::Declaration(std::string* encoding) {
    p += 5;
    while (!Failed()) {
        if (*p == '>') {
            ++p;
            return;
        }
        SkipWhite();
        if (Failed())
            break;
        if (At("version", true) || At("standalone", true)) {
            Attribute(nullptr);
        } else if (At("encoding", true)) {
            if (encoding)
                encoding->clear();
            Attribute(encoding);
        } else {
            while (*p && *p != '>' && !IsWhite(*p))
                ++p;
        }
    }
    p = nullptr;
}

// The first declaration at the top level sets the encoding: UTF-8 unless its "encoding", up
// to its first NUL, names another one.
void Walk::TakeEncoding(const std::string& encoding) {
    if (encodingKnown)
        return;
    encodingKnown = true;
    const char* name = encoding.c_str();
    const auto startsWith = [name](const char* prefix) {
        for (size_t i = 0; prefix[i]; ++i)
            if (Lower(name[i]) != Lower(prefix[i]))
                return false;
        return true;
    };
    utf8 = !*name || startsWith("utf-8") || startsWith("utf8");
}

// An element's start tag, p on its '<': 1 when it opens content, 0 when it closes itself,
// -1 when TinyXML fails on it.
int Walk::StartTag(Name* name) {
    ++p;
    SkipWhite();
    if (!ReadName(name) || Failed())
        return -1;
    for (;;) {
        SkipWhite();
        if (Failed())
            return -1;
        if (*p == '/') {
            if (*++p != '>')
                return -1;
            ++p;
            return 0;
        }
        if (*p == '>') {
            ++p;
            return 1;
        }
        Attribute(nullptr);
        if (Failed())
            return -1;
    }
}

// Steps over an element's content up to the next child element or end tag; false when TinyXML
// fails first.
bool Walk::Content() {
    SkipWhite();
    while (!Failed()) {
        if (*p != '<') {
            ReadTo("<", true, nullptr);
            if (!p)
                return false;
            --p;
        } else if (At("</")) {
            return true;
        } else {
            const Node node = Identify();
            if (node == Node::Element)
                return true;
            Other(node);
        }
        SkipWhite();
    }
    return false;
}

// The end tag of name, p on its "</"; a mismatch fails.
bool Walk::EndTag(const Name& name) {
    p += 2;
    if (strncmp(p, name.begin, name.length) == 0) {
        p += name.length;
        SkipWhite();
        if (!Failed() && *p == '>') {
            ++p;
            return true;
        }
    }
    p = nullptr;
    return false;
}

// One element at the document's top level with everything inside it, p on its '<'. The open
// elements are kept here instead of on the stack.
bool Walk::Elements() {
    Name open[kXmlMaxNesting];
    int depth = 0;
    for (;;) {
        Name name;
        const int opened = StartTag(&name);
        if (opened < 0)
            break;
        if (opened > 0) {
            if (depth == kXmlMaxNesting)
                return false;
            open[depth++] = name;
        }
        while (depth > 0 && Content() && At("</") && EndTag(open[depth - 1]))
            --depth;
        if (depth == 0)
            return true;
        if (Failed())
            break;
    }
    // TinyXML stops here with an error, so the walk does too.
    p = nullptr;
    return true;
}

bool Walk::Within() {
    if (Failed())
        return true;
    if (At("\xEF\xBB\xBF"))
        utf8 = encodingKnown = true;
    SkipWhite();
    while (!Failed() && *p == '<') {
        const Node node = Identify();
        if (node == Node::Element) {
            if (!Elements())
                return false;
        } else if (node == Node::Declaration) {
            std::string encoding;
            Declaration(&encoding);
            TakeEncoding(encoding);
        } else {
            Other(node);
        }
        SkipWhite();
    }
    return true;
}

} // namespace

bool XmlNestingWithin(const char* text) {
    return Walk(text).Within();
}
