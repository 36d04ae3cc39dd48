// Undo and redo of the pal table. Every command that changes the table wraps its change
// in a CTableChange; when the outermost one ends, the rows that differ before and after
// become one step, named for the user, and go to the application's step sink (the undo
// history of the window). Steps are plain data, applied the same way by any caller.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/pen_pal.h"

class CYubinoApp;

// What a step did, for its name.
enum class StepKind { Add, Edit, Delete, MoveOnMap, TakeInMail, Import, Sort, Restore, MailIntake };

struct PalTableStep {
    std::string name;             // code page 932: "「ゆきうさぎ」を削除", "3人を編集"
    std::size_t offset = 0;       // the first row that differs
    std::vector<CPenPal> before;  // rows from `offset` before the change
    std::vector<CPenPal> after;   // the rows that took their place

    bool IsEmpty() const { return before.empty() && after.empty(); }
};

// The smallest run of rows that turns `before` into `after` (common head and tail left out).
PalTableStep DiffTables(const std::vector<CPenPal>& before, const std::vector<CPenPal>& after);

// The table as it was before the step, or after it again; the list and map are refreshed.
void UndoStep(CYubinoApp& app, const PalTableStep& step);
void RedoStep(CYubinoApp& app, const PalTableStep& step);

// Pals told apart by mail address: added, removed, and changed (before, after).
struct PalTableDiff {
    std::vector<CPenPal> added;
    std::vector<CPenPal> removed;
    std::vector<std::pair<CPenPal, CPenPal>> changed;

    bool IsEmpty() const { return added.empty() && removed.empty() && changed.empty(); }
};
PalTableDiff ComparePalTables(const std::vector<CPenPal>& before, const std::vector<CPenPal>& after);

// The step's name: the one pal's handle name, or the number of pals, with the verb of
// `kind`; a sort names the column title `label` (code page 932), a mail intake is named
// by its `label` whole.
std::string StepName(StepKind kind, const PalTableDiff& diff, const std::string& label = {});

// Records the table around a command. Nested changes (an intake that adds a pal) fold into
// the outermost one. Without a step sink nothing is copied.
class CTableChange {
public:
    CTableChange(CYubinoApp& app, StepKind kind, std::string label = {});
    ~CTableChange();
    CTableChange(const CTableChange&) = delete;
    CTableChange& operator=(const CTableChange&) = delete;

private:
    CYubinoApp& m_app;
    StepKind m_kind;
    std::string m_label;
    bool m_bRecording;
    std::vector<CPenPal> m_before;
};
