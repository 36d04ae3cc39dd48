// How the main window looked when it was last closed, and the data files opened last:
// a small file of "name=value" lines under $XDG_STATE_HOME/yubino. It never holds pal
// data and is not the settings file; a missing or damaged one gives the defaults.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "storage/app_paths.h"

inline constexpr std::size_t kMaxRecentFiles = 8;

struct WindowState {
    std::string geometry;          // the window's place and size, as the toolkit encodes it
    std::vector<int> mainSplit;    // left column and list widths
    std::vector<int> leftSplit;    // map and mail pane heights
    int viewMode = -1;             // the list's form; -1 for the default
    std::vector<int> columnWidths;
    int sortColumn = -1;           // the column of the last sort, -1 for none
    bool sortAscending = true;     // that sort's direction
    int map = -1;                  // the map bar's choice; -1 for the default
    std::vector<std::filesystem::path> recentFiles;  // the last opened first
    bool queueOpen = false;                          // the reply queue pane shown
    int queueTab = 0;                                // its list shown: waiting or quiet
    int queueSortColumn = -1;                        // its lists' sort column; -1 for the default
    bool queueSortAscending = false;
    bool conversationNewestOnTop = false;            // the conversation's newest mail at the top

    bool operator==(const WindowState&) const = default;
};

// $XDG_STATE_HOME/yubino/window-state, or ~/.local/state/yubino/window-state.
std::filesystem::path WindowStateFile(const EnvLookup& env = SystemEnv);

WindowState ParseWindowState(std::string_view text);
std::string FormatWindowState(const WindowState& state);

// The defaults when the file is missing, not a regular file, too big or unreadable.
WindowState ReadWindowState(const std::filesystem::path& file);
// Creates the folder as needed; the old file stays whole when writing fails.
bool WriteWindowState(const std::filesystem::path& file, const WindowState& state);

// `file` becomes the first of the recent files; it appears once, and at most
// kMaxRecentFiles are kept.
void AddRecentFile(std::vector<std::filesystem::path>& recent, const std::filesystem::path& file);
