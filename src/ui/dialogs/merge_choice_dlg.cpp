#include "ui/dialogs/merge_choice_dlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/texts.h"
#include "ui/qt_text.h"

namespace {

QString Utf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

CMergeChoiceDlg::CMergeChoiceDlg(const std::string& palName, const std::vector<FieldConflict>& conflicts,
                                 QWidget* parent)
    : QDialog(parent), m_conflicts(conflicts), m_table(new QTableWidget(static_cast<int>(conflicts.size()), 3, this)) {
    setWindowTitle(Text(texts::kMergeChoiceTitle));
    m_table->setObjectName(QStringLiteral("conflicts"));
    m_table->setHorizontalHeaderLabels(
        {Text(texts::kMergeChoiceField), Text(texts::kMergeChoiceOurs), Text(texts::kMergeChoiceTheirs)});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    for (int row = 0; row < static_cast<int>(conflicts.size()); ++row) {
        const FieldConflict& conflict = conflicts[static_cast<std::size_t>(row)];
        m_table->setItem(row, 0, new QTableWidgetItem(ToQString(PalFieldLabel(conflict.field))));
        m_table->setItem(row, 1, new QTableWidgetItem(Utf8(conflict.ours)));
        auto* theirs = new QTableWidgetItem(Utf8(conflict.theirs));
        theirs->setFlags(theirs->flags() | Qt::ItemIsUserCheckable);
        theirs->setCheckState(Qt::Unchecked);
        m_table->setItem(row, 2, theirs);
    }
    m_table->resizeColumnsToContents();
    m_table->horizontalHeader()->setStretchLastSection(true);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(Text(texts::kButtonOk), QDialogButtonBox::AcceptRole);
    buttons->addButton(Text(texts::kButtonCancel), QDialogButtonBox::RejectRole);
    auto* intro = new QLabel(ToQString(FormatText(texts::kMergeChoiceIntro, palName)), this);
    intro->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(m_table);
    layout->addWidget(buttons);
    resize(560, 300);
    connect(buttons, &QDialogButtonBox::accepted, this, &CMergeChoiceDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CMergeChoiceDlg::reject);
}

std::vector<PalField> CMergeChoiceDlg::Chosen() const {
    std::vector<PalField> chosen;
    if (result() != QDialog::Accepted) return chosen;
    for (int row = 0; row < m_table->rowCount(); ++row)
        if (m_table->item(row, 2)->checkState() == Qt::Checked)
            chosen.push_back(m_conflicts[static_cast<std::size_t>(row)].field);
    return chosen;
}
