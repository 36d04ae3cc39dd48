// The application object: the pal table, its operations and limit, and the display state
// that the list and the map share. It reaches the user only through CUserInterface.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "core/pal_history.h"
#include "core/pen_pal.h"
#include "core/user_interface.h"

struct PalTableStep;

inline constexpr int kMaxPals = 500;

// Keys of SortPals; any other number leaves every pair equal.
enum PalSortKey {
    kSortHandleName = 0,
    kSortName,
    kSortSex,
    kSortAge,
    kSortMailAddress,
    kSortJob,
    kSortHomePage,
    kSortResidence,
    kSortBirthplace,
    kSortBloodType,
    kSortBirthday,
    kSortFirstMail,
    kSortLastMail,
    kSortTel1,
    kSortTel2,
    kSortHobby,
    kSortMapName,
    kSortLastMailText,
    kSortFaceIcon,
    kSortMapX,
};

class CYubinoApp {
public:
    explicit CYubinoApp(CUserInterface& ui) : m_ui(&ui) {}

    CUserInterface& UI() const { return *m_ui; }
    void SetUserInterface(CUserInterface& ui) { m_ui = &ui; }

    // The pal table. Results are 1 (done) or 0, as every caller expects.
    int AddPal(const CPenPal& pal);
    int FindPalByAddress(const std::string& address, CPenPal& pal) const;
    int GetPal(int index, CPenPal& pal) const;
    int ReplacePal(const CPenPal& pal);
    void DeletePal(std::string address);
    void ChangePalAddress(const std::string& oldAddress, const std::string& newAddress);
    int GetPalCount() const { return static_cast<int>(m_pals.size()); }
    void SortPals(int key, bool ascending);
    // Empties the table (the pal data file reader does, once it knows the file is one).
    void ClearPals() { m_pals.clear(); }
    const std::vector<CPenPal>& Pals() const { return m_pals; }
    // Puts `rows` in place of `count` rows from `offset` (undo, redo, a restore): no checks.
    void ReplaceRows(std::size_t offset, std::size_t count, const std::vector<CPenPal>& rows);

    // Where finished table changes go (the undo history); none records nothing.
    using StepSink = std::function<void(PalTableStep&&)>;
    void SetStepSink(StepSink sink) { m_stepSink = std::move(sink); }
    const StepSink& GetStepSink() const { return m_stepSink; }
    // How many CTableChange scopes are open; only the outermost records a step.
    int m_nOpenChanges = 0;

    // The record of the pals' mails, when one is kept (the correspondence archive).
    CPalHistory* History() const { return m_pHistory; }
    void SetHistory(CPalHistory* history) { m_pHistory = history; }

    void UpdateListView() { m_ui->UpdateListView(); }
    void UpdateMapView() { m_ui->UpdateMapView(); }

    // Display state shared by the list, the map and the frame's commands.
    bool m_bListAllPals = false;
    bool m_bMapAllPals = false;
    int m_nCurrentMap = 0;
    std::string m_strCurrentMap;
    // The folder of the pal data file in use, empty until one is named; pictures stored
    // with a Windows path are looked for there.
    std::filesystem::path m_dataFolder;
    // While a search is active, the list (and so the map) shows only these pals.
    bool m_bSearchActive = false;
    std::set<std::string> m_searchMatches;

private:
    // AddPal's checks: room in the table and a new address, each refusal with its message.
    bool CanAdd(const CPenPal& pal);
    std::vector<CPenPal>::iterator FindByAddress(const std::string& address);

    CUserInterface* m_ui;
    CPalHistory* m_pHistory = nullptr;
    std::vector<CPenPal> m_pals;
    StepSink m_stepSink;
};
