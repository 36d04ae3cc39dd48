// The readable text of an HTML mail body: paragraphs and line breaks kept, entities
// decoded, style and script dropped, each link's address kept after its text.
#pragma once

#include <string>
#include <string_view>

// `html` and the result are UTF-8; lines end with LF.
std::string HtmlToText(std::string_view html);
