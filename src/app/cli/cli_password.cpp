#include "app/cli/cli_password.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "app/cli/console_user_interface.h"
#include "core/file_read.h"
#include "core/texts.h"

namespace {

constexpr std::size_t kMaxPasswordFileBytes = 4096;

}  // namespace

std::optional<std::string> ReadPasswordFile(const std::string& path) {
    const OpenedFile file = OpenRegularFile(path);
    struct stat st {};
    if (file.fd.IsOpen() && ::fstat(file.fd.Get(), &st) == 0 && (st.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        PrintMessageLine(FormatText(texts::kPasswordFileOpenToOthers, PathText(path)));
        return std::nullopt;
    }
    std::string bytes(kMaxPasswordFileBytes, '\0');
    const ssize_t n = file.fd.IsOpen() ? ::read(file.fd.Get(), bytes.data(), bytes.size()) : -1;
    if (n < 0) {
        std::fprintf(stderr, "パスワードのファイルを読めません: %s\n", path.c_str());
        return std::nullopt;
    }
    bytes.resize(static_cast<std::size_t>(n));
    return bytes.substr(0, bytes.find_first_of("\r\n"));
}
