#include "ui/dialogs/face_icon_dlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/texts.h"
#include "core/user_interface.h"
#include "ui/face_icons.h"

namespace {

constexpr int kIconSize = 48;

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

QListWidget* MakeIconList(QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setObjectName(QStringLiteral("icons"));
    list->setViewMode(QListView::IconMode);
    list->setIconSize(QSize(kIconSize, kIconSize));
    list->setMovement(QListView::Static);
    list->setResizeMode(QListView::Adjust);
    list->setUniformItemSizes(true);
    list->setWordWrap(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    // Room for the longest label ("男性 50") under the icon at the current font.
    const QFontMetrics metrics(list->font());
    const int width = std::max(kIconSize, metrics.horizontalAdvance(Text("男性 50"))) + 16;
    list->setGridSize(QSize(width, kIconSize + metrics.height() + 12));
    for (int number = 0; number < kFaceIconCount; ++number)
        list->addItem(new QListWidgetItem(QIcon(FaceIcon(number, kIconSize)), FaceIconLabel(number)));
    list->setMinimumSize(5 * width + 24, 4 * (kIconSize + metrics.height() + 12));
    return list;
}

}  // namespace

void CBannerLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
    QLabel::mouseReleaseEvent(event);
}

CFaceIconDlg::CFaceIconDlg(CUserInterface& ui, QWidget* parent) : QDialog(parent), m_ui(ui) {
    setWindowTitle(Text(texts::kFaceIconTitle));
    m_list = MakeIconList(this);

    auto* providedBy = new QLabel(Text(texts::kFaceIconProvidedBy), this);
    auto* banner = new CBannerLabel(this);
    banner->setObjectName(QStringLiteral("banner"));
    banner->setPixmap(QPixmap(QStringLiteral(":/banner.png")));
    banner->setFixedSize(88, 31);
    banner->setCursor(Qt::PointingHandCursor);
    banner->setToolTip(Text(texts::kFaceIconProviderUrl));
    auto* bannerColumn = new QVBoxLayout;
    bannerColumn->addWidget(providedBy);
    bannerColumn->addWidget(banner);

    auto* buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(Text(texts::kButtonOk), QDialogButtonBox::AcceptRole);
    buttons->addButton(Text(texts::kButtonCancel), QDialogButtonBox::RejectRole);
    m_ok->setEnabled(false);

    auto* bottom = new QHBoxLayout;
    bottom->addLayout(bannerColumn);
    bottom->addStretch();
    bottom->addWidget(buttons, 0, Qt::AlignBottom);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(bottom);

    connect(m_list, &QListWidget::itemSelectionChanged, this,
            [this] { m_ok->setEnabled(!m_list->selectedItems().isEmpty()); });
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] {
        if (m_ok->isEnabled()) accept();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &CFaceIconDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CFaceIconDlg::reject);
    connect(banner, &CBannerLabel::clicked, this, &CFaceIconDlg::OpenProviderPage);
}

void CFaceIconDlg::accept() {
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    if (selected.isEmpty()) return;
    m_nChosenIcon = m_list->row(selected.first());
    QDialog::accept();
}

void CFaceIconDlg::OpenProviderPage() {
    if (!m_ui.OpenInShell(texts::kFaceIconProviderUrl))
        m_ui.ShowMessage(Cp932Text(texts::kBrowserFailed), MessageKind::Warning);
}
