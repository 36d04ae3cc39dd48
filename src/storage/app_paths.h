// Where the settings file and the sample pal data file live, and which pal data file
// start-up opens.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

struct AppPaths {
    std::filesystem::path settingsFile;  // empty when no place for it could be found
    std::filesystem::path sampleFile;
    // False for a start that stores nothing on close (a screenshot): a missing settings
    // file then names no file and is not made.
    bool makeSettingsFile = true;
};

// The directory holding the running executable.
std::filesystem::path ProgramDirectory();

// Looks up an environment variable; empty when unset. Tests pass their own.
using EnvLookup = std::function<std::string(const char*)>;
std::string SystemEnv(const char* name);

// $VAR, or $HOME/<homeFallback> when it is unset or relative; empty without either.
std::filesystem::path XdgBaseDirectory(const EnvLookup& env, const char* variable, const char* homeFallback);

// $VARIABLE/yubino (an XDG base directory), or $HOME/<homeFallback>/yubino, created; empty
// when that fails.
std::filesystem::path XdgDirectory(const EnvLookup& env, const char* variable, const char* homeFallback);

// Whether the program runs from an installation (its data in ../share/yubino).
bool IsInstalledProgram(const std::filesystem::path& programDir);

// Both files beside the program when its directory is writable and it is not installed (a
// build tree, a portable copy); otherwise the settings file in $XDG_CONFIG_HOME/yubino and the sample file in
// $XDG_DATA_HOME/yubino, created as needed.
AppPaths ResolveAppPaths(const std::filesystem::path& programDir, const EnvLookup& env = SystemEnv);

struct StartupFile {
    std::filesystem::path dataFile;  // the document's path
    bool opened = false;             // false: it could be neither opened nor created
    bool settingsUsable = true;      // false: the settings file can be neither read nor created
};

// The pal data file that start-up loads: the one the settings file names, or the sample
// file when it names none. A missing file is created empty.
StartupFile ChooseStartupFile(const AppPaths& paths);
