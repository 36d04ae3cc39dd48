#include "storage/yubino_session.h"

#include "core/file_read.h"
#include "core/silent_user_interface.h"
#include "core/texts.h"
#include "core/yubino_app.h"
#include "storage/atomic_file.h"
#include "storage/pal_data_file.h"
#include "storage/settings_file.h"

namespace fs = std::filesystem;

fs::path BundledFile(const fs::path& programDir, const fs::path& name) {
    std::error_code ec;
    const fs::path beside = programDir / name;
    if (fs::exists(beside, ec)) return beside;
    const fs::path shared = programDir.parent_path() / "share" / "yubino" / name;
    return fs::exists(shared, ec) ? shared : beside;
}

void ProvideSampleFile(const fs::path& sampleFile, const fs::path& bundledSample) {
    std::error_code ec;
    if (sampleFile.empty() || bundledSample.empty() || fs::exists(sampleFile, ec)) return;
    if (!fs::is_regular_file(bundledSample, ec) || fs::equivalent(sampleFile, bundledSample, ec)) return;
    fs::copy_file(bundledSample, sampleFile, fs::copy_options::skip_existing, ec);
}

CYubinoSession::CYubinoSession(CYubinoApp& app, AppPaths paths, fs::path bundledSample)
    : m_app(app), m_paths(std::move(paths)), m_bundledSample(std::move(bundledSample)), m_doc(app) {}

void CYubinoSession::LoadStartupFile(const fs::path& commandLineFile) {
    ProvideSampleFile(m_paths.sampleFile, m_bundledSample);
    // A file the user opened from the file manager is the document, whatever the settings
    // name; one that cannot be loaded leaves the start as usual.
    if (!commandLineFile.empty() && OpenFile(commandLineFile)) {
        if (m_paths.settingsFile.empty())
            m_app.UI().ShowMessage(Cp932Text(texts::kSettingsNotKept), MessageKind::Warning);
        return;
    }
    const StartupFile startup = ChooseStartupFile(m_paths);
    if (!startup.settingsUsable) m_app.UI().ShowMessage(Cp932Text(texts::kSettingsNotKept), MessageKind::Warning);
    if (!startup.opened) {
        // Keep the path: the save on close tries it again and offers another place.
        m_doc.SetPathName(startup.dataFile);
        m_app.UI().ShowMessage(FormatText(texts::kDataFileUnavailable, PathText(startup.dataFile)),
                               MessageKind::Warning);
        m_app.UpdateListView();
        m_app.UpdateMapView();
        return;
    }
    m_doc.OnOpenDocument(startup.dataFile);
}

bool CYubinoSession::OpenFile(const fs::path& path) { return m_doc.OnOpenDocument(path).Opened(); }

bool CYubinoSession::OpenOther(const fs::path& path, const ChooseFileFn& chooseOtherFile) {
    return SaveOnClose(chooseOtherFile) && OpenFile(path);
}

bool CYubinoSession::NewFile(const fs::path& path, const ChooseFileFn& chooseOtherFile) {
    if (!MayMakeNewFile(path) || !SaveOnClose(chooseOtherFile)) return false;
    return MakeNewFile(path) && OpenFile(path);
}

bool CYubinoSession::IsFirstStart() const {
    std::error_code ec;
    return m_paths.makeSettingsFile && !m_paths.settingsFile.empty() &&
           !fs::exists(fs::symlink_status(m_paths.settingsFile, ec));
}

bool CYubinoSession::StartWithNewFile(const fs::path& path) {
    if (!MayMakeNewFile(path) || !MakeNewFile(path)) return false;
    WriteSettings(path);
    return true;
}

// A new file never takes the place of one that holds pals, least of all the one in use.
bool CYubinoSession::MayMakeNewFile(const fs::path& path) {
    std::error_code ec;
    const fs::path current = m_doc.GetPathName();
    const bool inUse =
        !current.empty() && (fs::equivalent(path, current, ec) ||
                             fs::absolute(path, ec).lexically_normal() == fs::absolute(current, ec).lexically_normal());
    const char* refusal = nullptr;
    if (inUse)
        refusal = texts::kNewFileInUse;
    else if (fs::exists(fs::symlink_status(path, ec)))
        refusal = texts::kNewFileExists;
    if (refusal) m_app.UI().ShowMessage(FormatText(refusal, PathText(path)), MessageKind::Warning);
    return !refusal;
}

// The bytes a save of a table without pals writes; the name is taken first, so that a
// file made meanwhile by another program is not replaced.
bool CYubinoSession::MakeNewFile(const fs::path& path) {
    CSilentUserInterface quiet;
    const CYubinoApp noPals(quiet);
    if (CreateFileIfMissing(path) && WriteFileAtomically(path, WritePalData(noPals)).ok) return true;
    m_app.UI().ShowMessage(FormatText(texts::kNewFileNotMade, PathText(path)), MessageKind::Warning);
    return false;
}

// The document tells the user when a save fails.
bool CYubinoSession::SaveAs(const fs::path& path) { return m_doc.OnSaveDocument(path).ok; }

bool CYubinoSession::Save() {
    if (m_doc.GetPathName().empty()) return false;
    return m_doc.OnSaveDocument(m_doc.GetPathName()).ok;
}

void CYubinoSession::WriteSettings(const fs::path& dataFile) {
    // Without a usable settings file the user was told at start-up.
    if (m_paths.settingsFile.empty()) return;
    const WriteResult result = WriteSettingsFile(m_paths.settingsFile, dataFile.string());
    if (!result.ok)
        m_app.UI().ShowMessage(
            FileProblemMessage(texts::kSettingsNotWritten, m_paths.settingsFile, result.error),
            MessageKind::Warning);
}

bool CYubinoSession::SaveOnClose(const ChooseFileFn& chooseOtherFile) {
    if (m_doc.IsReadOnly()) return !m_doc.IsModified() || StoreReadOnlyChanges(chooseOtherFile);
    fs::path path = m_doc.GetPathName();
    if (path.empty()) {
        // The file named at start-up was refused: nothing of it is in the table to write back.
        if (m_app.GetPalCount() == 0) return true;
        return ResolveFailedSave(Cp932Text(texts::kNoFileOnClose), chooseOtherFile);
    }
    WriteSettings(path);
    if (m_doc.OnSaveDocument(path).ok) return true;
    return ResolveFailedSave(FormatText(texts::kSaveOnCloseFailed, PathText(path)), chooseOtherFile);
}

// Another file, offered once; the changes are given up only when the user says so.
bool CYubinoSession::StoreReadOnlyChanges(const ChooseFileFn& chooseOtherFile) {
    if (m_app.UI().AskYesNo(Cp932Text(texts::kReadOnlySaveAs))) {
        const fs::path other = chooseOtherFile ? chooseOtherFile() : fs::path();
        if (!other.empty() && m_doc.OnSaveDocument(other).ok) {
            WriteSettings(other);
            return true;
        }
    }
    return m_app.UI().AskYesNo(Cp932Text(texts::kReadOnlyChangesLost));
}

// After a failed save: another file (as often as the user likes), or closing without
// saving after a second, explicit question, or staying open.
bool CYubinoSession::ResolveFailedSave(const std::string& question, const ChooseFileFn& chooseOtherFile) {
    std::string ask = question;
    while (m_app.UI().AskYesNo(ask)) {
        const fs::path other = chooseOtherFile ? chooseOtherFile() : fs::path();
        if (other.empty()) break;
        if (m_doc.OnSaveDocument(other).ok) {
            WriteSettings(other);
            return true;
        }
        ask = FormatText(texts::kSaveOnCloseFailed, PathText(other));
    }
    return m_app.UI().AskYesNo(Cp932Text(texts::kCloseWithoutSaving));
}
