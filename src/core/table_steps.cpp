#include "core/table_steps.h"

#include <algorithm>
#include <map>

#include "core/texts.h"
#include "core/yubino_app.h"

PalTableStep DiffTables(const std::vector<CPenPal>& before, const std::vector<CPenPal>& after) {
    std::size_t head = 0;
    while (head < before.size() && head < after.size() && before[head] == after[head]) ++head;
    std::size_t tail = 0;
    while (tail < before.size() - head && tail < after.size() - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    PalTableStep step;
    step.offset = head;
    step.before.assign(before.begin() + static_cast<std::ptrdiff_t>(head),
                       before.end() - static_cast<std::ptrdiff_t>(tail));
    step.after.assign(after.begin() + static_cast<std::ptrdiff_t>(head),
                      after.end() - static_cast<std::ptrdiff_t>(tail));
    return step;
}

namespace {

void Refresh(CYubinoApp& app) {
    app.UpdateListView();
    app.UpdateMapView();
}

}  // namespace

void UndoStep(CYubinoApp& app, const PalTableStep& step) {
    app.ReplaceRows(step.offset, step.after.size(), step.before);
    Refresh(app);
}

void RedoStep(CYubinoApp& app, const PalTableStep& step) {
    app.ReplaceRows(step.offset, step.before.size(), step.after);
    Refresh(app);
}

PalTableDiff ComparePalTables(const std::vector<CPenPal>& before, const std::vector<CPenPal>& after) {
    std::map<std::string, const CPenPal*> old;
    for (const CPenPal& pal : before) old.emplace(pal.m_strMailAddress, &pal);
    PalTableDiff diff;
    for (const CPenPal& pal : after) {
        auto it = old.find(pal.m_strMailAddress);
        if (it == old.end()) {
            diff.added.push_back(pal);
            continue;
        }
        if (!(*it->second == pal)) diff.changed.emplace_back(*it->second, pal);
        old.erase(it);
    }
    // In table order, as the user saw them.
    for (const CPenPal& pal : before)
        if (old.count(pal.m_strMailAddress)) diff.removed.push_back(pal);
    return diff;
}

namespace {

const texts::StepNameTexts& NameTexts(StepKind kind) {
    switch (kind) {
        case StepKind::Add:
            return texts::kStepAdd;
        case StepKind::Delete:
            return texts::kStepDelete;
        case StepKind::MoveOnMap:
            return texts::kStepMoveOnMap;
        case StepKind::TakeInMail:
            return texts::kStepTakeInMail;
        case StepKind::Import:
            return texts::kStepImport;
        default:
            return texts::kStepEdit;
    }
}

}  // namespace

std::string StepName(StepKind kind, const PalTableDiff& diff, const std::string& label) {
    if (kind == StepKind::Sort) return FormatText(texts::kStepSort, label);
    if (kind == StepKind::MailIntake) return label;
    if (kind == StepKind::Restore) return Cp932Text(texts::kStepRestore);
    // A new address on an edited pal shows as one removed and one added: still one pal.
    const std::size_t count = diff.changed.size() + std::max(diff.added.size(), diff.removed.size());
    const texts::StepNameTexts& name = NameTexts(kind);
    if (count != 1) return FormatText(name.many, static_cast<int>(count));
    const CPenPal& pal = !diff.changed.empty() ? diff.changed.front().second
                         : !diff.added.empty() ? diff.added.front()
                                               : diff.removed.front();
    return FormatText(name.one, pal.m_strHandleName);
}

CTableChange::CTableChange(CYubinoApp& app, StepKind kind, std::string label)
    : m_app(app),
      m_kind(kind),
      m_label(std::move(label)),
      m_bRecording(app.m_nOpenChanges++ == 0 && app.GetStepSink()) {
    if (m_bRecording) m_before = m_app.Pals();
}

CTableChange::~CTableChange() {
    --m_app.m_nOpenChanges;
    if (!m_bRecording || !m_app.GetStepSink()) return;
    PalTableStep step = DiffTables(m_before, m_app.Pals());
    if (step.IsEmpty()) return;
    step.name = StepName(m_kind, ComparePalTables(step.before, step.after), m_label);
    m_app.GetStepSink()(std::move(step));
}
