#include "core/xml/XmlEscape.h"

std::string XmlEscaped(const char* text) {
    std::string escaped;
    for (; *text; ++text) {
        switch (*text) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        default:
            escaped += *text;
        }
    }
    return escaped;
}
