#include "ui/charts/charts_page.h"

#include <QChart>
#include <QChartView>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include "archive/mail_figures.h"
#include "core/texts.h"
#include "core/yubino_app.h"
#include "ui/charts/chart_render.h"
#include "ui/qt_text.h"

CChartsPage::CChartsPage(const CYubinoApp& app, const std::filesystem::path& archive, QWidget* parent)
    : QWidget(parent), m_app(app) {
    // The dialog starts in the data file's folder, as the program's other exports do.
    m_chooseSaveFile = [folder = QString::fromStdString(app.m_dataFolder.string())](QWidget* owner,
                                                                                    const QString& suggested) {
        return QFileDialog::getSaveFileName(owner, QString(), QDir(folder).filePath(suggested),
                                            QString::fromUtf8(texts::kChartSaveFilters));
    };
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    for (ChartKind kind : kChartKinds) AddChart(*grid, BuildChart(m_app.Pals(), kind));
    AddMailCharts(*grid, archive);
}

void CChartsPage::AddMailCharts(QGridLayout& grid, const std::filesystem::path& archive) {
    const MailFiguresRead read = archive.empty() ? MailFiguresRead{MailFiguresRead::Status::Missing, {}, {}}
                                                 : ReadMailFigures(archive, CalendarDay::Today());
    if (read.status == MailFiguresRead::Status::Read) {
        for (ChartKind kind : kMailChartKinds) AddChart(grid, MailChart(read.figures, kind));
        return;
    }
    const QString note =
        read.status == MailFiguresRead::Status::Missing
            ? QString::fromUtf8(texts::kChartsWithoutArchive)
            : ToQString(FormatText(texts::kChartArchiveUnreadable, ToCp932Lossy(QFile::decodeName(archive.c_str())))) +
                  QStringLiteral("\n(") + QString::fromStdString(read.error) + QLatin1Char(')');
    m_archiveNote = new QLabel(note, this);
    m_archiveNote->setObjectName(QStringLiteral("archiveNote"));
    m_archiveNote->setWordWrap(true);
    m_archiveNote->setAlignment(Qt::AlignCenter);
    grid.addWidget(m_archiveNote, grid.rowCount(), 0, 1, 2);
}

void CChartsPage::AddChart(QGridLayout& grid, ChartData data) {
    const ChartKind kind = data.kind;
    const int cell = static_cast<int>(m_views.size());
    auto* view = new QChartView(MakeChart(data), this);
    view->setObjectName(QString::fromLatin1(ChartKindName(kind).data()));
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(220, 150);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view, &QWidget::customContextMenuRequested, this,
            [this, kind](const QPoint& at) { ShowContextMenu(kind, at); });
    // The format follows the file name's extension; a name without one is saved as PNG.
    auto* save = new QPushButton(QString::fromUtf8(texts::kChartSave), this);
    save->setObjectName(QStringLiteral("save-") + view->objectName());
    save->setToolTip(ToQString(data.title));
    connect(save, &QPushButton::clicked, this, [this, kind] { SaveChartAs(kind, false); });
    auto* column = new QVBoxLayout;
    column->setSpacing(2);
    column->addWidget(view, 1);
    column->addWidget(save, 0, Qt::AlignRight);
    grid.addLayout(column, cell / 2, cell % 2);
    m_views[kind] = view;
    m_data[kind] = std::move(data);
}

QChartView* CChartsPage::View(ChartKind kind) const {
    const auto it = m_views.find(kind);
    return it == m_views.end() ? nullptr : it->second;
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
    const auto data = m_data.find(kind);
    if (data == m_data.end()) return;
    const QString suggested =
        QString::fromLatin1(ChartKindName(kind).data()) + (svg ? QStringLiteral(".svg") : QStringLiteral(".png"));
    QString path = m_chooseSaveFile(this, suggested);
    if (path.isEmpty()) return;
    // A name typed without a known extension is saved in the format chosen.
    if (!ChartFileFormatOf(path.toStdString())) path += svg ? QStringLiteral(".svg") : QStringLiteral(".png");
    if (!SaveChart(data->second, path))
        m_app.UI().ShowMessage(FormatText(texts::kChartSaveFailed, ToCp932Lossy(path)), MessageKind::Warning);
}
