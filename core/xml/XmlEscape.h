// Text made safe to stand between XML tags.
#pragma once

#include <string>

// text with '&', '<' and '>' replaced by "&amp;", "&lt;" and "&gt;"; every other byte as it is.
// An XML reader gives back the original text.
std::string XmlEscaped(const char* text);
