#include "mail/html_text.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr std::size_t npos = std::string_view::npos;

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

// Position of `needle` in `text` from `from`, ignoring ASCII case, or npos.
std::size_t FindNoCase(std::string_view text, std::string_view needle, std::size_t from) {
    auto it = std::search(text.begin() + static_cast<std::ptrdiff_t>(std::min(from, text.size())), text.end(),
                          needle.begin(), needle.end(), [](char a, char b) { return LowerAscii(a) == LowerAscii(b); });
    return it == text.end() ? npos : static_cast<std::size_t>(it - text.begin());
}

void AppendUtf8(std::string& out, unsigned long cp) {
    if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

struct Entity {
    std::string_view name;
    unsigned long cp;
};
constexpr Entity kEntities[] = {{"amp", '&'},    {"lt", '<'},        {"gt", '>'},       {"quot", '"'},
                                {"apos", '\''},  {"nbsp", 0xA0},     {"copy", 0xA9},    {"reg", 0xAE},
                                {"yen", 0xA5},   {"hellip", 0x2026}, {"mdash", 0x2014}, {"ndash", 0x2013},
                                {"laquo", 0xAB}, {"raquo", 0xBB},    {"middot", 0xB7}};

// Decodes the entity at text[pos] ('&'); returns the bytes it took, 0 when it is none.
std::size_t DecodeEntity(std::string_view text, std::size_t pos, std::string& out) {
    const std::size_t semicolon = text.find(';', pos);
    if (semicolon == npos || semicolon - pos > 10) return 0;
    const std::string_view name = text.substr(pos + 1, semicolon - pos - 1);
    if (name.size() > 1 && name[0] == '#') {
        const bool hex = name[1] == 'x' || name[1] == 'X';
        const std::string digits(name.substr(hex ? 2 : 1));
        if (digits.empty()) return 0;
        char* end = nullptr;
        const unsigned long cp = std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
        if (*end) return 0;
        AppendUtf8(out, cp == 0xA0 ? ' ' : cp);
        return semicolon - pos + 1;
    }
    for (const Entity& e : kEntities) {
        if (e.name == name) {
            AppendUtf8(out, e.cp == 0xA0 ? ' ' : e.cp);
            return semicolon - pos + 1;
        }
    }
    return 0;
}

// The value of attribute `name` in a tag's text, or empty.
std::string_view AttributeValue(std::string_view tag, std::string_view name) {
    for (std::size_t at = FindNoCase(tag, name, 0); at != npos; at = FindNoCase(tag, name, at + 1)) {
        if (at == 0 || !IsSpace(tag[at - 1])) continue;
        std::size_t p = at + name.size();
        while (p < tag.size() && IsSpace(tag[p])) ++p;
        if (p >= tag.size() || tag[p] != '=') continue;
        ++p;
        while (p < tag.size() && IsSpace(tag[p])) ++p;
        if (p < tag.size() && (tag[p] == '"' || tag[p] == '\'')) {
            const std::size_t close = tag.find(tag[p], p + 1);
            return tag.substr(p + 1, close == npos ? npos : close - p - 1);
        }
        std::size_t end = p;
        while (end < tag.size() && !IsSpace(tag[end]) && tag[end] != '>') ++end;
        return tag.substr(p, end - p);
    }
    return {};
}

std::string TagName(std::string_view tag) {
    std::size_t p = tag[0] == '/' ? 1 : 0;
    std::string name;
    while (p < tag.size() && !IsSpace(tag[p]) && tag[p] != '/' && tag[p] != '>') name += LowerAscii(tag[p++]);
    return name;
}

bool IsOneOf(const std::string& name, std::initializer_list<std::string_view> names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

class CTextWriter {
public:
    // Runs of white space in the HTML are one blank, and none at a line's start.
    void Text(std::string_view text) {
        for (char c : text) {
            if (IsSpace(c)) {
                m_pendingSpace = !m_out.empty() && m_out.back() != '\n';
            } else {
                Flush();
                m_out += c;
            }
        }
    }
    void Raw(std::string_view utf8) {
        Flush();
        m_out += utf8;
    }
    // Nothing before the first text: a list or a break at the start adds no empty line.
    void LineBreak() {
        m_pendingSpace = false;
        if (!m_out.empty()) m_out += '\n';
    }
    // A paragraph ends with one empty line, however many block ends meet.
    void BlockBreak() {
        m_pendingSpace = false;
        if (m_out.empty()) return;
        while (!m_out.ends_with("\n\n")) m_out += '\n';
    }
    std::size_t Size() const { return m_out.size(); }
    // Whether the text written from `start` on is `text`, blanks around it aside.
    bool WroteSince(std::size_t start, std::string_view text) const {
        std::string_view written = std::string_view(m_out).substr(std::min(start, m_out.size()));
        while (!written.empty() && IsSpace(written.front())) written.remove_prefix(1);
        return written == text;
    }
    std::string Finish() {
        while (!m_out.empty() && (m_out.back() == '\n' || m_out.back() == ' ')) m_out.pop_back();
        return m_out + '\n';
    }

private:
    void Flush() {
        if (m_pendingSpace) m_out += ' ';
        m_pendingSpace = false;
    }
    std::string m_out;
    bool m_pendingSpace = false;
};

}  // namespace

std::string HtmlToText(std::string_view html) {
    CTextWriter out;
    std::string pendingLink;  // the href of the open <a>, written when it closes
    std::size_t linkTextStart = 0;
    std::size_t pos = 0;
    while (pos < html.size()) {
        const std::size_t lt = html.find_first_of("<&", pos);
        out.Text(html.substr(pos, lt == npos ? npos : lt - pos));
        if (lt == npos) break;
        if (html[lt] == '&') {
            std::string decoded;
            const std::size_t used = DecodeEntity(html, lt, decoded);
            if (used) {
                out.Raw(decoded);
                pos = lt + used;
            } else {
                out.Raw("&");
                pos = lt + 1;
            }
            continue;
        }
        if (html.substr(lt, 4) == "<!--") {
            const std::size_t end = html.find("-->", lt + 4);
            pos = end == npos ? html.size() : end + 3;
            continue;
        }
        const std::size_t gt = html.find('>', lt);
        if (gt == npos) break;
        const std::string_view tag = html.substr(lt + 1, gt - lt - 1);
        pos = gt + 1;
        if (tag.empty()) continue;
        const std::string name = TagName(tag);
        const bool closing = tag[0] == '/';
        if (!closing && (name == "style" || name == "script" || name == "head" || name == "title")) {
            const std::size_t end = FindNoCase(html, "</" + name, pos);
            pos = end == npos ? html.size() : html.find('>', end) == npos ? html.size() : html.find('>', end) + 1;
        } else if (name == "br") {
            out.LineBreak();
        } else if (name == "a" && !closing) {
            pendingLink = std::string(AttributeValue(tag, "href"));
            linkTextStart = out.Size();
        } else if (name == "a") {
            const bool webLink = pendingLink.starts_with("http://") || pendingLink.starts_with("https://");
            // A link whose text is its address already is not written twice.
            if (webLink && !out.WroteSince(linkTextStart, pendingLink)) out.Raw(" " + pendingLink + " ");
            pendingLink.clear();
        } else if (IsOneOf(name, {"p", "div", "h1", "h2", "h3", "h4", "h5", "h6", "blockquote", "table", "ul", "ol",
                                  "pre", "hr"})) {
            out.BlockBreak();
        } else if (IsOneOf(name, {"tr", "li", "dt", "dd"})) {
            if (!closing) out.LineBreak();
        }
    }
    return out.Finish();
}
