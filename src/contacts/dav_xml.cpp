#include "contacts/dav_xml.h"

#include <expat.h>

#include <memory>

namespace {

constexpr int kMaxDepth = 64;
constexpr std::size_t kMaxElements = 1'000'000;

struct Builder {
    XML_Parser parser;
    XmlNode root;
    std::vector<XmlNode*> open;
    std::size_t elements = 0;
    std::string refusal;

    void Refuse(const char* why) {
        if (refusal.empty()) refusal = why;
        XML_StopParser(parser, XML_FALSE);
    }
};

void SplitName(const XML_Char* full, XmlNode& node) {
    const std::string_view name(full);
    const std::size_t bar = name.rfind('|');
    if (bar == std::string_view::npos) {
        node.name = name;
    } else {
        node.ns = name.substr(0, bar);
        node.name = name.substr(bar + 1);
    }
}

void OnStart(void* data, const XML_Char* name, const XML_Char**) {
    auto& b = *static_cast<Builder*>(data);
    if (++b.elements > kMaxElements) return b.Refuse("too many elements");
    if (static_cast<int>(b.open.size()) >= kMaxDepth) return b.Refuse("nested too deeply");
    XmlNode* node = &b.root;
    if (!b.open.empty()) node = &b.open.back()->children.emplace_back();
    SplitName(name, *node);
    b.open.push_back(node);
}

void OnEnd(void* data, const XML_Char*) { static_cast<Builder*>(data)->open.pop_back(); }

void OnText(void* data, const XML_Char* text, int len) {
    auto& b = *static_cast<Builder*>(data);
    if (!b.open.empty()) b.open.back()->text.append(text, static_cast<std::size_t>(len));
}

void OnDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
    static_cast<Builder*>(data)->Refuse("a document type declaration (entities are not accepted)");
}

void OnEntity(void* data, const XML_Char*, int, const XML_Char*, int, const XML_Char*, const XML_Char*, const XML_Char*,
              const XML_Char*) {
    static_cast<Builder*>(data)->Refuse("an entity declaration");
}

}  // namespace

const XmlNode* XmlNode::Child(std::string_view wantNs, std::string_view wantName) const {
    for (const XmlNode& child : children)
        if (child.Is(wantNs, wantName)) return &child;
    return nullptr;
}

const XmlNode* XmlNode::Find(std::string_view wantNs, std::string_view wantName) const {
    for (const XmlNode& child : children) {
        if (child.Is(wantNs, wantName)) return &child;
        if (const XmlNode* below = child.Find(wantNs, wantName)) return below;
    }
    return nullptr;
}

std::optional<XmlNode> ParseDavXml(std::string_view bytes, std::string& why) {
    const std::unique_ptr<XML_ParserStruct, decltype(&XML_ParserFree)> parser(XML_ParserCreateNS(nullptr, '|'),
                                                                              &XML_ParserFree);
    if (!parser) return why = "out of memory", std::nullopt;
    Builder builder{parser.get(), {}, {}, 0, {}};
    XML_SetUserData(parser.get(), &builder);
    XML_SetElementHandler(parser.get(), OnStart, OnEnd);
    XML_SetCharacterDataHandler(parser.get(), OnText);
    XML_SetStartDoctypeDeclHandler(parser.get(), OnDoctype);
    XML_SetEntityDeclHandler(parser.get(), OnEntity);
    XML_SetParamEntityParsing(parser.get(), XML_PARAM_ENTITY_PARSING_NEVER);
    const bool parsed =
        XML_Parse(parser.get(), bytes.data(), static_cast<int>(bytes.size()), XML_TRUE) == XML_STATUS_OK;
    if (!builder.refusal.empty()) return why = "XML refused: " + builder.refusal, std::nullopt;
    if (!parsed || builder.elements == 0)
        return why = std::string("XML not well-formed: ") + XML_ErrorString(XML_GetErrorCode(parser.get())),
               std::nullopt;
    return std::move(builder.root);
}

std::string XmlEscape(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '&':
                out += "&amp;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}
