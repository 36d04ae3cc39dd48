// What the check itself reads of a server's bytes before the protocol library sees them:
// the guard over literals, lines and answers, cut into chunks as the network cuts them,
// and the folder names of LIST answers as they are shown and matched to the Sent folder.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "sync/folder_name.h"
#include "sync/literal_guard.h"

namespace {

constexpr std::uint64_t kCap = 4096;
constexpr std::uint64_t kLineCap = 512;

// Once refused, nothing more passes; a line longer than the cap never passes whole.
void FeedInChunks(std::string_view bytes, std::size_t chunk) {
    CLiteralGuard guard(kCap, kLineCap);
    bool refused = false;
    for (std::size_t at = 0; at < bytes.size(); at += chunk) {
        const bool ok = guard.Feed(bytes.data() + at, std::min(chunk, bytes.size() - at));
        if (refused && ok) __builtin_trap();
        refused = refused || !ok;
        guard.NewCommand();
    }
    if (refused && guard.Refusal() == GuardRefusal::None) __builtin_trap();
    if (guard.Refusal() == GuardRefusal::Literal && guard.Refused() <= kCap) __builtin_trap();
}

void ReadFolderNames(std::string_view bytes) {
    for (std::size_t begin = 0; begin < bytes.size();) {
        const std::size_t end = std::min(bytes.find('\n', begin), bytes.size());
        const std::string_view line = bytes.substr(begin, end - begin);
        if (const std::optional<std::string> name = FolderNameFromImap(line)) {
            const std::optional<std::string> back = FolderNameToImap(*name);
            if (!back) __builtin_trap();
            IsSentFolderName(*name, '/');
            IsSentFolderName(*name, '.');
        }
        begin = end + 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t chunk = 1 + data[0] % 64;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    FeedInChunks(bytes, chunk);
    FeedInChunks(bytes, bytes.size() + 1);
    ReadFolderNames(bytes);
    return 0;
}
