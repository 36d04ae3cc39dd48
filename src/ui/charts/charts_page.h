// The "グラフ" page of the analysis dialog: the four charts of the pal table, each saved
// as PNG or SVG from its context menu.
#pragma once

#include <QWidget>
#include <functional>
#include <map>

#include "analysis/chart_data.h"

class CYubinoApp;
QT_BEGIN_NAMESPACE
class QChartView;
QT_END_NAMESPACE

class CChartsPage : public QWidget {
public:
    explicit CChartsPage(const CYubinoApp& app, QWidget* parent = nullptr);

    // The file to save a chart in; the platform's save dialog unless a test answers.
    using SaveFileChooser = std::function<QString(QWidget* parent, const QString& suggestedName)>;
    void SetSaveFileChooser(SaveFileChooser chooser) { m_chooseSaveFile = std::move(chooser); }

    QChartView* View(ChartKind kind) const { return m_views.at(kind); }
    // What the context menu's two items do.
    void SaveChartAs(ChartKind kind, bool svg);

private:
    void ShowContextMenu(ChartKind kind, const QPoint& at);

    const CYubinoApp& m_app;
    std::map<ChartKind, QChartView*> m_views;
    SaveFileChooser m_chooseSaveFile;
};
