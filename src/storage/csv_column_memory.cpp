#include "storage/csv_column_memory.h"

#include <optional>
#include <charconv>
#include <sstream>
#include <system_error>

#include "storage/atomic_file.h"
#include "core/file_read.h"

namespace {

constexpr std::size_t kMaxMemoryBytes = 1u << 20;
constexpr std::size_t kMaxHeaders = 100;
constexpr char kFieldSeparator = '\x1F';

// The header as one line's key: fields joined by the unit separator, line breaks and tabs
// made blanks.
std::string HeaderKey(const std::vector<std::string>& header) {
    std::string key;
    for (std::size_t i = 0; i < header.size(); ++i) {
        if (i) key += kFieldSeparator;
        for (char c : header[i]) key += c == '\t' || c == '\r' || c == '\n' || c == kFieldSeparator ? ' ' : c;
    }
    return key;
}

std::optional<std::vector<CsvRole>> ParseRoles(std::string_view text, std::size_t count) {
    std::vector<CsvRole> roles;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        int value = 0;
        const auto [ptr, ec] = std::from_chars(text.data() + start, text.data() + comma, value);
        if (ec != std::errc() || ptr != text.data() + comma) return std::nullopt;
        const bool known =
            value == -1 || (value >= 0 && value < kPalFieldCount) ||
            (value >= static_cast<int>(CsvRole::GivenName) && value <= static_cast<int>(CsvRole::Gender));
        if (!known) return std::nullopt;
        roles.push_back(static_cast<CsvRole>(value));
        start = comma + 1;
    }
    if (roles.size() != count) return std::nullopt;
    return roles;
}

std::vector<std::string> Lines(const std::filesystem::path& file) {
    std::vector<std::string> lines;
    const std::optional<std::string> bytes = ReadRegularFileBytes(file, kMaxMemoryBytes);
    if (!bytes) return lines;
    std::istringstream in(*bytes);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) lines.push_back(line);
    return lines;
}

}  // namespace

std::filesystem::path CsvColumnMemoryFile(const EnvLookup& env) {
    std::filesystem::path base = env("XDG_CONFIG_HOME");
    if (base.empty() || base.is_relative()) {
        const std::string home = env("HOME");
        if (home.empty()) return {};
        base = std::filesystem::path(home) / ".config";
    }
    return base / "yubino" / "csv-columns.txt";
}

std::optional<std::vector<CsvRole>> RecallCsvRoles(const std::filesystem::path& file,
                                                   const std::vector<std::string>& header) {
    const std::string key = HeaderKey(header);
    for (const std::string& line : Lines(file)) {
        const std::size_t tab = line.find('\t');
        if (tab != std::string::npos && std::string_view(line).substr(tab + 1) == key)
            return ParseRoles(std::string_view(line).substr(0, tab), header.size());
    }
    return std::nullopt;
}

bool RememberCsvRoles(const std::filesystem::path& file, const std::vector<std::string>& header,
                      const std::vector<CsvRole>& roles) {
    if (file.empty()) return false;
    const std::string key = HeaderKey(header);
    std::string line;
    for (std::size_t i = 0; i < roles.size(); ++i) {
        if (i) line += ',';
        line += std::to_string(static_cast<int>(roles[i]));
    }
    line += '\t' + key;
    std::vector<std::string> lines{line};
    for (std::string& old : Lines(file)) {
        const std::size_t tab = old.find('\t');
        if (lines.size() < kMaxHeaders && (tab == std::string::npos || std::string_view(old).substr(tab + 1) != key))
            lines.push_back(std::move(old));
    }
    std::string content;
    for (const std::string& l : lines) content += l + '\n';
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    return WriteFileAtomically(file, content).ok;
}
