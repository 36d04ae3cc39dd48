// The "グラフ" page of the analysis dialog: the four charts of the pal table and, when the
// data file has a mail archive, the two charts of its mails; each saved as PNG, SVG or JPEG
// by the button under it, or as PNG or SVG from its context menu. Without an archive the
// page says so instead of showing empty charts.
#pragma once

#include <QWidget>
#include <filesystem>
#include <functional>
#include <map>

#include "analysis/chart_data.h"

class CYubinoApp;
QT_BEGIN_NAMESPACE
class QChartView;
class QGridLayout;
class QLabel;
QT_END_NAMESPACE

class CChartsPage : public QWidget {
public:
    // `archive`: the mail archive file of the data file (empty when there is none); it is
    // read, never written or made.
    CChartsPage(const CYubinoApp& app, const std::filesystem::path& archive, QWidget* parent = nullptr);

    // The file to save a chart in; the platform's save dialog, in the data file's folder,
    // unless a test answers.
    using SaveFileChooser = std::function<QString(QWidget* parent, const QString& suggestedName)>;
    void SetSaveFileChooser(SaveFileChooser chooser) { m_chooseSaveFile = std::move(chooser); }

    // The chart's view; nullptr for a mail chart without an archive.
    QChartView* View(ChartKind kind) const;
    // What the page says instead of the mail charts; nullptr when it shows them.
    QLabel* ArchiveNote() const { return m_archiveNote; }
    // What the context menu's two items do.
    void SaveChartAs(ChartKind kind, bool svg);

private:
    void AddChart(QGridLayout& grid, ChartData data);
    void AddMailCharts(QGridLayout& grid, const std::filesystem::path& archive);
    void ShowContextMenu(ChartKind kind, const QPoint& at);

    const CYubinoApp& m_app;
    std::map<ChartKind, ChartData> m_data;
    std::map<ChartKind, QChartView*> m_views;
    QLabel* m_archiveNote = nullptr;
    SaveFileChooser m_chooseSaveFile;
};
