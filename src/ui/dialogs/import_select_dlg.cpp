#include "ui/dialogs/import_select_dlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "core/texts.h"
#include "storage/address_book_import.h"
#include "ui/qt_text.h"

namespace {

constexpr int kColumnWidth = 150;

QString Text(const char* utf8) { return ToQString(Cp932Text(utf8)); }

std::vector<TextColumn> ImportColumns() {
    return {{Cp932Text(texts::kImportColumnName), kColumnWidth},
            {Cp932Text(texts::kImportColumnAddress), kColumnWidth}};
}

}  // namespace

CImportSelectDlg::CImportSelectDlg(CYubinoApp& app, const std::vector<AddressBookEntry>& entries, bool withColumns,
                                   ImportSortDirections& directions, QWidget* parent, Importer importer)
    : QDialog(parent), m_app(app), m_importer(std::move(importer)) {
    setWindowTitle(Text(texts::kImportSelectTitle));

    std::vector<TextRow> rows;
    rows.reserve(entries.size());
    for (const AddressBookEntry& entry : entries) rows.push_back({entry.name, entry.address});
    m_notImported.SetContents(withColumns ? ImportColumns() : std::vector<TextColumn>{}, std::move(rows));
    m_imported.SetContents(withColumns ? ImportColumns() : std::vector<TextColumn>{}, {});
    m_left = MakeList("notImported", m_notImported, directions.notImported);
    m_right = MakeList("imported", m_imported, directions.imported);

    auto* right = new QPushButton(Text(texts::kMoveRight), this);
    right->setObjectName(QStringLiteral("moveRight"));
    right->setDefault(true);  // Enter moves the selection to the right
    auto* left = new QPushButton(Text(texts::kMoveLeft), this);
    left->setObjectName(QStringLiteral("moveLeft"));
    left->setAutoDefault(false);
    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton(Text(texts::kButtonOk), QDialogButtonBox::AcceptRole);
    auto* cancel = buttons->addButton(Text(texts::kButtonCancel), QDialogButtonBox::RejectRole);
    ok->setAutoDefault(false);
    cancel->setAutoDefault(false);

    auto* moves = new QVBoxLayout;
    moves->addStretch();
    moves->addWidget(right);
    moves->addWidget(left);
    moves->addStretch();
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(Text(texts::kImportLeftList), this), 0, 0);
    grid->addWidget(new QLabel(Text(texts::kImportRightList), this), 0, 2);
    grid->addWidget(m_left, 1, 0);
    grid->addLayout(moves, 1, 1);
    grid->addWidget(m_right, 1, 2);
    grid->addWidget(buttons, 2, 0, 1, 3);

    connect(right, &QPushButton::clicked, this, &CImportSelectDlg::MoveRight);
    connect(left, &QPushButton::clicked, this, &CImportSelectDlg::MoveLeft);
    connect(m_left, &QTreeView::doubleClicked, this, &CImportSelectDlg::MoveRight);
    connect(m_right, &QTreeView::doubleClicked, this, &CImportSelectDlg::MoveLeft);
    connect(buttons, &QDialogButtonBox::accepted, this, &CImportSelectDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CImportSelectDlg::reject);
}

QTreeView* CImportSelectDlg::MakeList(const char* objectName, CTextRowsModel& model, CSortDirection& direction) {
    auto* view = new QTreeView(this);
    view->setObjectName(QString::fromLatin1(objectName));
    SetUpReportList(*view);
    view->setModel(&model);
    view->setMinimumWidth(2 * kColumnWidth + 24);
    ApplyColumnWidths(*view, model);
    connect(view->header(), &QHeaderView::sectionClicked, this, [&model, &direction](int column) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        model.SortByColumn(column, direction);
        QGuiApplication::restoreOverrideCursor();
    });
    return view;
}

void CImportSelectDlg::MoveRight() { CTextRowsModel::MoveRows(m_notImported, SelectedRows(*m_left), m_imported); }

void CImportSelectDlg::MoveLeft() { CTextRowsModel::MoveRows(m_imported, SelectedRows(*m_right), m_notImported); }

std::vector<AddressBookEntry> CImportSelectDlg::ChosenEntries() const {
    std::vector<AddressBookEntry> entries;
    for (const TextRow& row : m_imported.Rows()) entries.push_back({row.at(0), row.at(1)});
    return entries;
}

void CImportSelectDlg::accept() {
    if (m_importer)
        m_importer(ChosenEntries());
    else
        ImportAddressBookEntries(m_app, ChosenEntries());
    QDialog::accept();
}
