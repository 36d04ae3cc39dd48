#include "ui/dialogs/restore_dlg.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/table_steps.h"
#include "core/texts.h"
#include "storage/recovery_file.h"
#include "ui/qt_text.h"

namespace {

constexpr int kNamesShown = 5;

QString Utf8(const char* text) { return QString::fromUtf8(text); }

// "戻すと消える人: 2人（あお、くろ）"
QString DiffLine(const char* format, const std::vector<const CPenPal*>& pals) {
    QString line = Utf8(format).replace(QStringLiteral("%d"), QString::number(pals.size()));
    QStringList names;
    for (std::size_t i = 0; i < pals.size() && i < kNamesShown; ++i) names << ToQString(pals[i]->m_strHandleName);
    if (pals.size() > kNamesShown) names << QStringLiteral("…");
    return line + QStringLiteral("（") + names.join(QStringLiteral("、")) + QStringLiteral("）");
}

}  // namespace

CRestoreDlg::CRestoreDlg(std::vector<CPenPal> current, std::vector<BackupEntry> backups, QWidget* parent)
    : QDialog(parent),
      m_current(std::move(current)),
      m_backups(std::move(backups)),
      m_list(new QTreeWidget(this)),
      m_differences(new QLabel(this)) {
    setWindowTitle(Utf8(texts::kRestoreTitle));
    m_list->setHeaderLabels(
        {Utf8(texts::kRestoreColumnSaved), Utf8(texts::kRestoreColumnPals), Utf8(texts::kRestoreColumnSize)});
    m_list->setRootIsDecorated(false);
    const QLocale locale(QLocale::Japanese);
    for (const BackupEntry& entry : m_backups) {
        const std::optional<std::vector<CPenPal>> pals = ReadWholePalFile(entry.file);
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(0, QDateTime::fromSecsSinceEpoch(entry.saved).toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")));
        item->setText(1, pals ? QString::number(pals->size()) : QStringLiteral("-"));
        item->setText(2, locale.formattedDataSize(static_cast<qint64>(entry.bytes)));
        item->setTextAlignment(1, Qt::AlignRight);
        item->setTextAlignment(2, Qt::AlignRight);
    }
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_differences->setWordWrap(true);
    m_differences->setMinimumHeight(fontMetrics().height() * 4);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    m_restore = buttons->addButton(Utf8(texts::kRestoreButton), QDialogButtonBox::AcceptRole);
    buttons->button(QDialogButtonBox::Cancel)->setText(Utf8(texts::kButtonCancel));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QTreeWidget::currentItemChanged, this, &CRestoreDlg::ShowDifferences);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_differences);
    layout->addWidget(buttons);
    resize(460, 360);
    if (m_list->topLevelItemCount() > 0) m_list->setCurrentItem(m_list->topLevelItem(0));
    ShowDifferences();
}

std::filesystem::path CRestoreDlg::ChosenFile() const {
    const int row = m_list->indexOfTopLevelItem(m_list->currentItem());
    return row >= 0 && row < static_cast<int>(m_backups.size()) ? m_backups[static_cast<std::size_t>(row)].file
                                                                : std::filesystem::path();
}

void CRestoreDlg::ShowDifferences() {
    const std::filesystem::path file = ChosenFile();
    const std::optional<std::vector<CPenPal>> pals = file.empty() ? std::nullopt : ReadWholePalFile(file);
    m_restore->setEnabled(pals.has_value());
    if (!pals) {
        const std::string path = file.string();
        m_differences->setText(file.empty() ? QString() : ToQString(FormatText(texts::kRestoreGone, Cp932Text(path))));
        return;
    }
    const PalTableDiff diff = ComparePalTables(m_current, *pals);
    if (diff.IsEmpty()) {
        m_differences->setText(Utf8(texts::kRestoreSame));
        return;
    }
    std::vector<const CPenPal*> added, removed, changed;
    for (const CPenPal& pal : diff.added) added.push_back(&pal);
    for (const CPenPal& pal : diff.removed) removed.push_back(&pal);
    for (const auto& pair : diff.changed) changed.push_back(&pair.second);
    QStringList lines;
    if (!added.empty()) lines << DiffLine(texts::kRestoreAdded, added);
    if (!removed.empty()) lines << DiffLine(texts::kRestoreRemoved, removed);
    if (!changed.empty()) lines << DiffLine(texts::kRestoreChanged, changed);
    m_differences->setText(lines.join(QLatin1Char('\n')));
}
