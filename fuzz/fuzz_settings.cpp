// The settings file and the start-up choice it drives, on any bytes: the line read holds
// no line end or NUL and stays under its cap, and the start-up load of the file it names
// never crashes or hangs. Relative names only, so that every file made stays in a folder
// of the fuzzer's own.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/silent_user_interface.h"
#include "core/yubino_app.h"
#include "storage/app_paths.h"
#include "storage/settings_file.h"
#include "storage/yubino_doc.h"

namespace fs = std::filesystem;

namespace {

const fs::path& WorkFolder() {
    static const fs::path folder = [] {
        char pattern[] = "/tmp/yubino-fuzz-settings.XXXXXX";
        return fs::path(::mkdtemp(pattern));
    }();
    return folder;
}

// Relative names resolve in the work folder while it is the current one; the fuzzer's own
// corpus paths are relative to the folder it started in.
class InFolder {
public:
    explicit InFolder(const fs::path& folder) : m_back(fs::current_path()) { fs::current_path(folder); }
    ~InFolder() { fs::current_path(m_back); }

private:
    fs::path m_back;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path folder = WorkFolder();
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) fs::remove_all(entry.path(), ec);
    std::ofstream(folder / "yubino.cfg", std::ios::binary).write(reinterpret_cast<const char*>(data), size);

    const std::optional<std::string> line = ReadSettingsFile(folder / "yubino.cfg");
    if (!line || line->size() > 64 * 1024 || line->find_first_of(std::string("\n\0", 2)) != std::string::npos)
        std::abort();
    if (line->find('/') != std::string::npos) return 0;

    InFolder inFolder(folder);
    const StartupFile startup = ChooseStartupFile({folder / "yubino.cfg", folder / "sample.ybf"});
    if (!startup.opened) return 0;
    CSilentUserInterface ui;
    CYubinoApp app(ui);
    CYubinoDoc doc(app);
    doc.SetLockWait({});
    doc.OnOpenDocument(startup.dataFile);
    return 0;
}
