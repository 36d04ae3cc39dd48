// The document's life from start-up to close: which file start-up loads, File, Open,
// the two saves, and the save on close with what to do when the file cannot be written.
// Everything the user must know goes through the port.
#pragma once

#include <filesystem>
#include <functional>

#include "storage/app_paths.h"
#include "storage/yubino_doc.h"

class CYubinoApp;

// A file the program carries (the sample, the help page): beside the executable, or in
// ../share/yubino for an installed program. The path beside the executable when neither exists.
std::filesystem::path BundledFile(const std::filesystem::path& programDir, const std::filesystem::path& name);

// Copies the bundled sample to `sampleFile` when that does not exist yet (an installed
// program's first start). Never overwrites a sample the user already has.
void ProvideSampleFile(const std::filesystem::path& sampleFile, const std::filesystem::path& bundledSample);

class CYubinoSession {
public:
    CYubinoSession(CYubinoApp& app, AppPaths paths, std::filesystem::path bundledSample = {});

    CYubinoDoc& Doc() { return m_doc; }
    const AppPaths& Paths() const { return m_paths; }

    // Start-up: the file named on the command line, else the file the settings file names,
    // or the sample; loaded into the table.
    void LoadStartupFile(const std::filesystem::path& commandLineFile = {});

    // Opens `path` as the document. True when the file became the document; otherwise
    // nothing changed.
    bool OpenFile(const std::filesystem::path& path);
    // File, Save under a new name; on success it is the file saved on close from then on.
    bool SaveAs(const std::filesystem::path& path);
    // Ctrl+S: stores into the document's file.
    bool Save();

    // Supplies another file to save into when the document's file cannot be written;
    // an empty path when the user cancels.
    using ChooseFileFn = std::function<std::filesystem::path()>;
    // Save on close: the settings file first, then the pal data file. True when the window
    // may close; false when the user chose to keep it open after a failed save. A
    // read-only document is never written: unchanged, it closes without a word; changed,
    // the user is offered another file once.
    bool SaveOnClose(const ChooseFileFn& chooseOtherFile);

    // File, Open: the table is stored first exactly as the close stores it, so that no
    // change is lost; then `path` is opened. False when the user kept the document.
    bool OpenOther(const std::filesystem::path& path, const ChooseFileFn& chooseOtherFile);

    // File, New: the table is stored first as File, Open stores it; then an empty pal data
    // file is made at `path` and opened. The file in use and any file that exists are
    // refused with a word to the user, before anything is stored.
    bool NewFile(const std::filesystem::path& path, const ChooseFileFn& chooseOtherFile);

    // The program's first start: a settings file is to be kept and there is none yet.
    bool IsFirstStart() const;
    // A first start with an empty pal data file of the user's: made at `path` and named
    // by the settings file, so that start-up loads it. False, told, when it was not made.
    bool StartWithNewFile(const std::filesystem::path& path);

private:
    bool MayMakeNewFile(const std::filesystem::path& path);
    bool MakeNewFile(const std::filesystem::path& path);
    bool StoreReadOnlyChanges(const ChooseFileFn& chooseOtherFile);
    void WriteSettings(const std::filesystem::path& dataFile);
    bool ResolveFailedSave(const std::string& question, const ChooseFileFn& chooseOtherFile);

    CYubinoApp& m_app;
    AppPaths m_paths;
    std::filesystem::path m_bundledSample;
    CYubinoDoc m_doc;
};
