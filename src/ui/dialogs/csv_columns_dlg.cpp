#include "ui/dialogs/csv_columns_dlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/texts.h"
#include "ui/qt_text.h"

namespace {

QString Utf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

CCsvColumnsDlg::CCsvColumnsDlg(const std::vector<std::string>& header, const std::vector<std::string>& sample,
                               QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(Text(texts::kCsvColumnsTitle));
    auto* table = new QTableWidget(static_cast<int>(header.size()), 3, this);
    table->setObjectName(QStringLiteral("columns"));
    table->setHorizontalHeaderLabels(
        {Text(texts::kCsvColumnsHeader), Text(texts::kCsvColumnsSample), Text(texts::kCsvColumnsField)});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int row = 0; row < static_cast<int>(header.size()); ++row) {
        table->setItem(row, 0, new QTableWidgetItem(Utf8(header[row])));
        if (row < static_cast<int>(sample.size())) table->setItem(row, 1, new QTableWidgetItem(Utf8(sample[row])));
        auto* choice = new QComboBox(table);
        choice->addItem(Text(texts::kCsvColumnsIgnore), static_cast<int>(CsvRole::Ignore));
        for (int field = 0; field < kPalFieldCount; ++field)
            choice->addItem(ToQString(PalFieldLabel(static_cast<PalField>(field))), field);
        table->setCellWidget(row, 2, choice);
        m_choices.push_back(choice);
    }
    table->resizeColumnsToContents();
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(Text(texts::kButtonOk), QDialogButtonBox::AcceptRole);
    buttons->addButton(Text(texts::kButtonCancel), QDialogButtonBox::RejectRole);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(Text(texts::kCsvColumnsPrompt), this));
    layout->addWidget(table);
    layout->addWidget(buttons);
    resize(560, 420);
    connect(buttons, &QDialogButtonBox::accepted, this, &CCsvColumnsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CCsvColumnsDlg::reject);
}

std::vector<CsvRole> CCsvColumnsDlg::Roles() const {
    std::vector<CsvRole> roles;
    for (const QComboBox* choice : m_choices) roles.push_back(static_cast<CsvRole>(choice->currentData().toInt()));
    return roles;
}

void CCsvColumnsDlg::accept() {
    if (!RolesGiveAddress(Roles())) {
        QMessageBox::warning(this, Text(texts::kAppName), Text(texts::kCsvColumnsNeedAddress));
        return;
    }
    QDialog::accept();
}
