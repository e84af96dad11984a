#include "util/lirvel_xml_escape.h"

namespace {

std::string Escape(std::string_view text, bool quotes)
{
    std::string result;
    result.reserve(text.size() + 16);
    for (const char c : text) {
        switch (c) {
        case '&':
            result += "&amp;";
            break;
        case '<':
            result += "&lt;";
            break;
        case '>':
            result += "&gt;";
            break;
        case '"':
            if (quotes)
                result += "&quot;";
            else
                result += c;
            break;
        default:
            result += c;
        }
    }
    return result;
}

} // namespace

std::string EscapeXmlText(std::string_view text) { return Escape(text, false); }

std::string EscapeXmlAttr(std::string_view text) { return Escape(text, true); }
