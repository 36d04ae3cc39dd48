#include "ui/dialogs/choose_pal_dlg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/pal_placement.h"
#include "core/texts.h"
#include "core/yubino_app.h"
#include "ui/dialogs/dialog_text.h"
#include "ui/dialogs/pal_info_dlg.h"
#include "ui/face_icons.h"
#include "ui/qt_text.h"

namespace {

constexpr int kIconSize = 24;

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

CChoosePalDlg::CChoosePalDlg(CYubinoApp& app, QWidget* parent) : QDialog(parent), m_app(app) {
    setWindowTitle(Text(texts::kChoosePalTitle));
    m_list = new QTreeWidget;
    m_list->setObjectName(QStringLiteral("pals"));
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setIconSize(QSize(kIconSize, kIconSize));
    m_list->setHeaderLabels(
        {Text(texts::kColumnHandleName), Text(texts::kColumnName), Text(texts::kColumnMailAddress)});
    m_list->setColumnWidth(0, 100 + kIconSize);
    m_list->setColumnWidth(1, 100);
    m_list->setColumnWidth(2, 150);
    m_list->setMinimumWidth(100 + kIconSize + 100 + 150 + 2 * m_list->frameWidth() + 20);

    m_ok = new QPushButton(Text(texts::kButtonOk));
    auto* doNotAdd = new QPushButton(WithAccessKey(texts::kButtonDoNotAdd, 'D'));
    m_addNew = new QPushButton(WithAccessKey(texts::kButtonAddNewPal, 'A'));
    m_ok->setObjectName(QStringLiteral("ok"));
    doNotAdd->setObjectName(QStringLiteral("doNotAdd"));
    m_addNew->setObjectName(QStringLiteral("addNew"));
    m_ok->setEnabled(false);
    m_addNew->setEnabled(m_app.GetPalCount() < kMaxPals);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_ok);
    buttons->addWidget(doNotAdd);
    buttons->addStretch();
    buttons->addWidget(m_addNew);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(buttons);

    FillList();
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, [this] { m_ok->setEnabled(SelectedRow() >= 0); });
    // Only a row can be double-clicked, so the double-click always has a pal to choose.
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &CChoosePalDlg::accept);
    connect(m_ok, &QPushButton::clicked, this, &CChoosePalDlg::accept);
    connect(doNotAdd, &QPushButton::clicked, this, &CChoosePalDlg::reject);
    connect(m_addNew, &QPushButton::clicked, this, &CChoosePalDlg::AddNewPal);
}

void CChoosePalDlg::FillList() {
    m_list->clear();
    for (const CPenPal& pal : m_app.Pals()) {
        auto* item = new QTreeWidgetItem(
            m_list, {ToQString(pal.m_strHandleName), ToQString(pal.m_strName), ToQString(pal.m_strMailAddress)});
        item->setIcon(0, QIcon(FaceIcon(pal.m_nFaceIcon, kIconSize)));
    }
}

int CChoosePalDlg::SelectedRow() const {
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    return selected.isEmpty() ? -1 : m_list->indexOfTopLevelItem(selected.first());
}

void CChoosePalDlg::accept() {
    const int row = SelectedRow();
    // The address comes from the table, not from the shown text, so that it matches byte for byte.
    if (row < 0 || row >= m_app.GetPalCount()) return;
    m_strChosenAddress = m_app.Pals()[row].m_strMailAddress;
    QDialog::accept();
}

void CChoosePalDlg::AddNewPal() {
    CPenPal pal;
    CPalInfoDlg dialog(m_app, pal, PalInfoMode::AddNew, this);
    if (dialog.exec() != QDialog::Accepted) return;
    PlaceNewPal(m_app, pal);
    m_app.AddPal(pal);
    m_app.UpdateListView();
    m_app.UpdateMapView();
    FillList();
}
