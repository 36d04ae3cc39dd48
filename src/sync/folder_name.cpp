#include "sync/folder_name.h"

#include <iconv.h>
#include <strings.h>

#include <algorithm>
#include <cerrno>

namespace {

// glibc knows modified UTF-7 as "UTF-7-IMAP".
std::optional<std::string> Convert(const char* to, const char* from, std::string_view text) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out;
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char buffer[256];
    bool ok = true;
    for (bool flushing = false;;) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t r = flushing ? iconv(cd, nullptr, nullptr, &outPtr, &outLeft)
                                       : iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (r == static_cast<std::size_t>(-1) && errno == E2BIG) continue;
        if (r == static_cast<std::size_t>(-1)) {
            ok = false;
            break;
        }
        if (flushing) break;
        flushing = true;
    }
    iconv_close(cd);
    if (!ok) return std::nullopt;
    return out;
}

}  // namespace

std::optional<std::string> FolderNameFromImap(std::string_view wire) { return Convert("UTF-8", "UTF-7-IMAP", wire); }

std::optional<std::string> FolderNameToImap(std::string_view utf8) { return Convert("UTF-7-IMAP", "UTF-8", utf8); }

bool IsSentFolderName(std::string_view utf8, char delimiter) {
    static constexpr std::string_view kNames[] = {
        "Sent",           "Sent Items",       "Sent Messages",  "Sent Mail",       "送信済み",
        "送信済みメール", "送信済みアイテム", "送信済みトレイ", "送信済みボックス"};
    std::string_view leaf = utf8;
    if (delimiter) {
        const std::size_t cut = utf8.find(delimiter);
        if (cut != std::string_view::npos) {
            const std::string_view parent = utf8.substr(0, cut);
            if (parent.size() != 5 || strncasecmp(parent.data(), "INBOX", 5) != 0) return false;
            leaf = utf8.substr(cut + 1);
        }
    }
    return std::any_of(std::begin(kNames), std::end(kNames), [&](std::string_view name) {
        return name.size() == leaf.size() && strncasecmp(name.data(), leaf.data(), name.size()) == 0;
    });
}
