#include "storage/window_state.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>

#include "core/file_read.h"
#include "storage/atomic_file.h"

namespace fs = std::filesystem;

namespace {

// Eight paths and a few numbers; anything bigger is not this file.
constexpr std::size_t kMaxStateBytes = 64 * 1024;
// A width or height of a pane or a column, or an index.
constexpr int kMaxNumber = 100000;

bool ParseInt(std::string_view text, int& out) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < -1 || value > kMaxNumber) return false;
    out = value;
    return true;
}

std::vector<int> ParseInts(std::string_view text) {
    std::vector<int> numbers;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        int value = 0;
        if (!ParseInt(text.substr(0, comma), value) || value < 0) return {};
        numbers.push_back(value);
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    }
    return numbers;
}

std::string FormatInts(const std::vector<int>& numbers) {
    std::string text;
    for (int number : numbers) {
        if (!text.empty()) text += ',';
        text += std::to_string(number);
    }
    return text;
}

void ApplyLine(WindowState& state, std::string_view name, std::string_view value) {
    if (name == "geometry")
        state.geometry = std::string(value);
    else if (name == "main-split")
        state.mainSplit = ParseInts(value);
    else if (name == "left-split")
        state.leftSplit = ParseInts(value);
    else if (name == "view-mode")
        ParseInt(value, state.viewMode);
    else if (name == "columns")
        state.columnWidths = ParseInts(value);
    else if (name == "sort-column")
        ParseInt(value, state.sortColumn);
    else if (name == "sort-ascending")
        state.sortAscending = value != "0";
    else if (name == "map")
        ParseInt(value, state.map);
    else if (name == "queue-open")
        state.queueOpen = value == "1";
    else if (name == "queue-tab")
        ParseInt(value, state.queueTab);
    else if (name == "queue-sort-column")
        ParseInt(value, state.queueSortColumn);
    else if (name == "queue-sort-ascending")
        state.queueSortAscending = value == "1";
    else if (name == "conversation-newest-top")
        state.conversationNewestOnTop = value == "1";
    else if (name == "recent" && !value.empty() && state.recentFiles.size() < kMaxRecentFiles)
        state.recentFiles.emplace_back(std::string(value));
}

}  // namespace

fs::path WindowStateFile(const EnvLookup& env) {
    fs::path base = env("XDG_STATE_HOME");
    if (base.empty() || base.is_relative()) {
        const std::string home = env("HOME");
        if (home.empty()) return {};
        base = fs::path(home) / ".local" / "state";
    }
    return base / "yubino" / "window-state";
}

WindowState ParseWindowState(std::string_view text) {
    WindowState state;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        const std::size_t equals = line.find('=');
        if (equals != std::string_view::npos) ApplyLine(state, line.substr(0, equals), line.substr(equals + 1));
    }
    return state;
}

std::string FormatWindowState(const WindowState& state) {
    std::string text;
    auto line = [&](const char* name, const std::string& value) { text += std::string(name) + '=' + value + '\n'; };
    line("geometry", state.geometry);
    line("main-split", FormatInts(state.mainSplit));
    line("left-split", FormatInts(state.leftSplit));
    line("view-mode", std::to_string(state.viewMode));
    line("columns", FormatInts(state.columnWidths));
    line("sort-column", std::to_string(state.sortColumn));
    line("sort-ascending", state.sortAscending ? "1" : "0");
    line("map", std::to_string(state.map));
    line("queue-open", state.queueOpen ? "1" : "0");
    line("queue-tab", std::to_string(state.queueTab));
    line("queue-sort-column", std::to_string(state.queueSortColumn));
    line("queue-sort-ascending", state.queueSortAscending ? "1" : "0");
    line("conversation-newest-top", state.conversationNewestOnTop ? "1" : "0");
    for (const fs::path& file : state.recentFiles) {
        const std::string path = file.string();
        // A name with a line break cannot be written as one line; it is left out.
        if (path.find('\n') == std::string::npos) line("recent", path);
    }
    return text;
}

WindowState ReadWindowState(const fs::path& file) {
    // A FIFO or a device put at the path must not stop the start-up.
    return ParseWindowState(ReadRegularFileBytes(file, kMaxStateBytes).value_or(std::string()));
}

bool WriteWindowState(const fs::path& file, const WindowState& state) {
    if (file.empty()) return false;
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    return WriteFileAtomically(file, FormatWindowState(state)).ok;
}

void AddRecentFile(std::vector<fs::path>& recent, const fs::path& file) {
    if (file.empty()) return;
    std::erase(recent, file);
    recent.insert(recent.begin(), file);
    if (recent.size() > kMaxRecentFiles) recent.resize(kMaxRecentFiles);
}
