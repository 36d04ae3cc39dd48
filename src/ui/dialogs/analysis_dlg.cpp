#include "ui/dialogs/analysis_dlg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStackedWidget>
#include <QTabBar>
#include <QTreeView>
#include <QVBoxLayout>

#include "analysis/analysis_tabs.h"
#include "analysis/days_to_remember.h"
#include "core/texts.h"
#include "core/yubino_app.h"
#include "ui/charts/charts_page.h"
#include "ui/qt_text.h"

namespace {
// The dialog's size at the usual font: about 303 x 253 dialog units.
constexpr QSize kDialogSize(460, 390);
constexpr QSize kChartsSize(900, 700);
// The charts and the days to remember follow the four tables.
constexpr int kChartsTab = kAnalysisTabCount;
constexpr int kDaysToRememberTab = kAnalysisTabCount + 1;
}  // namespace

CAnalysisDlg::CAnalysisDlg(const CYubinoApp& app, CSortDirection& direction, const std::filesystem::path& archive,
                           QWidget* parent)
    : QDialog(parent),
      m_app(app),
      m_direction(direction),
      m_tabs(new QTabBar(this)),
      m_list(new QTreeView(this)),
      m_charts(new CChartsPage(app, archive, this)),
      m_pages(new QStackedWidget(this)) {
    setWindowTitle(ToQString(Cp932Text(texts::kAnalysisTitle)));
    resize(kDialogSize);

    m_tabs->setObjectName(QStringLiteral("tabs"));
    m_tabs->setExpanding(false);
    for (const std::string& title : AnalysisTabTitles()) m_tabs->addTab(ToQString(title));
    m_tabs->addTab(QString::fromUtf8(texts::kAnalysisTabCharts));
    m_tabs->addTab(QString::fromUtf8(texts::kAnalysisTabDaysToRemember));

    auto* close = new QPushButton(ToQString(Cp932Text(texts::kClose)), this);
    close->setObjectName(QStringLiteral("close"));
    close->setDefault(true);

    m_list->setObjectName(QStringLiteral("list"));
    SetUpReportList(*m_list);
    m_list->setModel(&m_model);

    auto* top = new QHBoxLayout;
    top->addWidget(m_tabs, 1, Qt::AlignBottom);
    top->addWidget(close, 0, Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    m_charts->setObjectName(QStringLiteral("charts"));
    m_pages->addWidget(m_list);
    m_pages->addWidget(m_charts);
    layout->addWidget(m_pages, 1);

    // Wide enough for the whole row of tabs beside the close button.
    resize(size().expandedTo(sizeHint()));
    // Ctrl+Tab and Ctrl+PgDown go to the next tab, as in every tabbed dialog; the last wraps.
    const auto step = [this](int by) {
        m_tabs->setCurrentIndex((m_tabs->currentIndex() + by + m_tabs->count()) % m_tabs->count());
    };
    for (const QKeySequence& key : {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)})
        connect(new QShortcut(key, this), &QShortcut::activated, this, [step] { step(1); });
    for (const QKeySequence& key :
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
          QKeySequence(Qt::CTRL | Qt::Key_PageUp)})
        connect(new QShortcut(key, this), &QShortcut::activated, this, [step] { step(-1); });

    connect(m_tabs, &QTabBar::currentChanged, this, &CAnalysisDlg::FillList);
    connect(m_list->header(), &QHeaderView::sectionClicked, this, &CAnalysisDlg::SortByColumn);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    FillList();
}

void CAnalysisDlg::FillList() {
    const bool charts = m_tabs->currentIndex() == kChartsTab;
    m_pages->setCurrentWidget(charts ? static_cast<QWidget*>(m_charts) : m_list);
    if (charts) {
        ShowChartsLarge();
        return;
    }
    if (m_tabs->currentIndex() == kDaysToRememberTab) {
        const auto days = DaysToRemember(m_app.Pals(), COleDateTime::GetCurrentTime());
        m_model.SetContents(DaysToRememberColumns(), DaysToRememberRows(days));
        ApplyColumnWidths(*m_list, m_model);
        return;
    }
    AnalysisTab tab = BuildAnalysisTab(m_app, m_tabs->currentIndex());
    m_model.SetContents(std::move(tab.columns), std::move(tab.rows));
    ApplyColumnWidths(*m_list, m_model);
}

// Six charts in the tables' size would each be a stamp: the dialog grows for them, as far
// as the screen allows, and keeps the size the user gives it afterwards.
void CAnalysisDlg::ShowChartsLarge() {
    QSize size = this->size().expandedTo(kChartsSize);
    if (const QScreen* screen = this->screen()) size = size.boundedTo(screen->availableSize());
    if (size != this->size()) resize(size);
}

void CAnalysisDlg::SortByColumn(int column) { m_model.SortByColumn(column, m_direction); }
