#include "storage/app_paths.h"

#include <cstdlib>

#include "core/texts.h"
#include "storage/atomic_file.h"
#include "storage/settings_file.h"

namespace fs = std::filesystem;

fs::path XdgDirectory(const EnvLookup& env, const char* variable, const char* homeFallback) {
    const fs::path base = XdgBaseDirectory(env, variable, homeFallback);
    if (base.empty()) return {};
    fs::path dir = base / "yubino";
    std::error_code ec;
    fs::create_directories(dir, ec);
    return IsWritableDirectory(dir) ? dir : fs::path();
}

fs::path XdgBaseDirectory(const EnvLookup& env, const char* variable, const char* homeFallback) {
    fs::path base = env(variable);
    if (!base.empty() && base.is_absolute()) return base;
    const std::string home = env("HOME");
    return home.empty() ? fs::path() : fs::path(home) / homeFallback;
}

fs::path ProgramDirectory() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::current_path(ec) : exe.parent_path();
}

std::string SystemEnv(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool IsInstalledProgram(const fs::path& programDir) {
    std::error_code ec;
    return fs::is_directory(programDir.parent_path() / "share" / "yubino", ec);
}

AppPaths ResolveAppPaths(const fs::path& programDir, const EnvLookup& env) {
    // An installed program keeps the user's files in the user's directories even where it
    // could write beside itself (run as root, /usr/bin is writable).
    if (!IsInstalledProgram(programDir) && IsWritableDirectory(programDir))
        return {programDir / texts::kSettingsFileName, programDir / texts::kSampleFileName};
    AppPaths paths;
    if (fs::path config = XdgDirectory(env, "XDG_CONFIG_HOME", ".config"); !config.empty())
        paths.settingsFile = config / texts::kSettingsFileName;
    if (fs::path data = XdgDirectory(env, "XDG_DATA_HOME", ".local/share"); !data.empty())
        paths.sampleFile = data / texts::kSampleFileName;
    return paths;
}

StartupFile ChooseStartupFile(const AppPaths& paths) {
    StartupFile result;
    std::string named;
    std::error_code ec;
    if (paths.settingsFile.empty()) {
        result.settingsUsable = false;
    } else if (!paths.makeSettingsFile && !fs::exists(fs::symlink_status(paths.settingsFile, ec))) {
        // Nothing named: the sample, and no file left behind.
    } else if (auto line = ReadSettingsFile(paths.settingsFile)) {
        named = *line;
    } else {
        result.settingsUsable = false;
    }
    result.dataFile = named.empty() ? paths.sampleFile : fs::path(named);
    result.opened = !result.dataFile.empty() && CreateFileIfMissing(result.dataFile);
    return result;
}
