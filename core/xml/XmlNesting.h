// TinyXML parses the content of each element by calling itself, so a document nested a few
// thousand levels deep overflows a worker thread's stack inside the parser. XmlNestingWithin
// refuses such a document before TinyXML sees it.
#pragma once

// The deepest element nesting XmlReader accepts; the root element is level 1. Parsing this
// deep stays well within a 256 KB stack, sanitizers included.
constexpr int kXmlMaxNesting = 100;

// Steps through text (NUL-terminated, followed by at least 4 more NUL bytes) the way
// TinyXML's parser does with its default encoding, without recursing, and tells whether the
// elements TinyXML would open ever nest deeper than kXmlMaxNesting. Where TinyXML would stop
// with an error the walk stops too and answers true: nothing beyond is parsed.
bool XmlNestingWithin(const char* text);
