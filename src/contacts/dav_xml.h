// WebDAV answers read as a small tree: namespaces resolved, no document type, no entity
// of any kind (so neither an external entity nor an expanding one is ever read), bounded
// depth and size.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::string_view kDavNs = "DAV:";
inline constexpr std::string_view kCardDavNs = "urn:ietf:params:xml:ns:carddav";

struct XmlNode {
    std::string ns, name;
    std::string text;  // the character data directly inside
    std::vector<XmlNode> children;

    bool Is(std::string_view wantNs, std::string_view wantName) const { return ns == wantNs && name == wantName; }
    // The first child of that name, or nullptr.
    const XmlNode* Child(std::string_view wantNs, std::string_view wantName) const;
    // The first node of that name below this one, at any depth, or nullptr.
    const XmlNode* Find(std::string_view wantNs, std::string_view wantName) const;
};

// The document's root, or nothing with `why` set: not well-formed, a DOCTYPE (entities
// are never accepted), deeper than 64 or more than 1,000,000 elements.
std::optional<XmlNode> ParseDavXml(std::string_view bytes, std::string& why);

// Text escaped for an XML element's content.
std::string XmlEscape(std::string_view text);
