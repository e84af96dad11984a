#pragma once

#include <string>
#include <string_view>

// What the configuration file escapes in element texts: "&", "<" and ">", in one pass.
std::string EscapeXmlText(std::string_view text);
// The same plus the double quote, for values inside attributes.
std::string EscapeXmlAttr(std::string_view text);
