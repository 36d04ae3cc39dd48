#include "ui/charts/charts_page.h"

#include <QChart>
#include <QChartView>
#include <QFileDialog>
#include <QGridLayout>
#include <QMenu>

#include "core/texts.h"
#include "core/yubino_app.h"
#include "ui/charts/chart_render.h"
#include "ui/qt_text.h"

CChartsPage::CChartsPage(const CYubinoApp& app, QWidget* parent) : QWidget(parent), m_app(app) {
    m_chooseSaveFile = [](QWidget* owner, const QString& suggested) {
        return QFileDialog::getSaveFileName(owner, QString(), suggested);
    };
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    int cell = 0;
    for (ChartKind kind : kChartKinds) {
        auto* view = new QChartView(MakeChart(BuildChart(m_app.Pals(), kind)), this);
        view->setObjectName(QString::fromLatin1(ChartKindName(kind).data()));
        view->setRenderHint(QPainter::Antialiasing);
        view->setMinimumSize(220, 170);
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, this,
                [this, kind](const QPoint& at) { ShowContextMenu(kind, at); });
        grid->addWidget(view, cell / 2, cell % 2);
        m_views[kind] = view;
        ++cell;
    }
}

void CChartsPage::ShowContextMenu(ChartKind kind, const QPoint& at) {
    QMenu menu(this);
    connect(menu.addAction(QString::fromUtf8(texts::kChartSavePng)), &QAction::triggered, this,
            [this, kind] { SaveChartAs(kind, false); });
    connect(menu.addAction(QString::fromUtf8(texts::kChartSaveSvg)), &QAction::triggered, this,
            [this, kind] { SaveChartAs(kind, true); });
    menu.exec(m_views.at(kind)->mapToGlobal(at));
}

void CChartsPage::SaveChartAs(ChartKind kind, bool svg) {
    const QString suggested =
        QString::fromLatin1(ChartKindName(kind).data()) + (svg ? QStringLiteral(".svg") : QStringLiteral(".png"));
    const QString path = m_chooseSaveFile(this, suggested);
    if (path.isEmpty()) return;
    if (!SaveChart(BuildChart(m_app.Pals(), kind), path))
        m_app.UI().ShowMessage(FormatText(texts::kChartSaveFailed, ToCp932Lossy(path)), MessageKind::Warning);
}
