// The analysis charts drawn with Qt Charts, and saved as PNG or SVG. Used by the analysis
// dialog and by the chart command, which draws without a display.
#pragma once

#include <QString>

#include "analysis/chart_data.h"

QT_BEGIN_NAMESPACE
class QChart;
QT_END_NAMESPACE

// A new chart of `data` (a pie, or bars with the counts on a value axis), its texts in
// the program's font. The caller owns it.
QChart* MakeChart(const ChartData& data);

// The size a chart is saved at.
inline constexpr int kChartWidth = 640;
inline constexpr int kChartHeight = 440;

// Draws `data` afresh at the size above and saves it as SVG, JPEG or PNG by the path's
// extension. False when the file cannot be written or its extension is none of these.
bool SaveChart(const ChartData& data, const QString& path);
