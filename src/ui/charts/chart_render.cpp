#include "ui/charts/chart_render.h"

#include <QApplication>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QFile>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QImage>
#include <QLineSeries>
#include <QPainter>
#include <QPieSeries>
#include <QStackedBarSeries>
#include <QSvgGenerator>
#include <QValueAxis>

#include "analysis/chart_labels.h"
#include "ui/qt_text.h"

namespace {

// How far below the plot the category labels may reach: a share of the chart's height.
constexpr double kLabelDepthShare = 0.3;

// Lays the category labels of a chart's x axis out anew whenever the plot changes size,
// as PlanAxisLabels decides, so that Qt Charts never has to cut one.
class CLabelFitter : public QObject {
public:
    // `labels`: one for each category, the categories at 0, 1, 2... on `axis`.
    CLabelFitter(QChart& chart, QCategoryAxis& axis, std::vector<std::string> labels, bool ordered)
        : QObject(&chart), m_chart(chart), m_axis(axis), m_labels(std::move(labels)), m_ordered(ordered) {
        m_axis.setTruncateLabels(false);
        connect(&chart, &QChart::plotAreaChanged, this, &CLabelFitter::Fit);
    }

    void Fit() {
        if (m_labels.empty() || m_chart.plotArea().width() <= 0) return;
        const QFontMetricsF metrics(m_axis.labelsFont());
        const LabelSpace space{m_chart.plotArea().width() / static_cast<double>(m_labels.size()),
                               m_chart.size().height() * kLabelDepthShare, metrics.height(), m_ordered};
        AxisLabelPlan plan = PlanAxisLabels(m_labels, space, [&metrics](std::string_view label) {
            return metrics.horizontalAdvance(ToQString(std::string(label)));
        });
        if (plan == m_plan) return;
        m_plan = std::move(plan);
        m_axis.setLabelsAngle(m_plan.angle);
        PlaceLabels();
    }

private:
    // Each label shown at its category's index.
    void PlaceLabels() {
        for (const QString& label : m_axis.categoriesLabels()) m_axis.remove(label);
        for (std::size_t i = 0; i < m_plan.labels.size(); ++i)
            if (!m_plan.labels[i].empty()) m_axis.append(ToQString(m_plan.labels[i]), static_cast<qreal>(i));
    }

    QChart& m_chart;
    QCategoryAxis& m_axis;
    const std::vector<std::string> m_labels;
    const bool m_ordered;
    AxisLabelPlan m_plan;
};

QFont ChartFont(int pointSizeDelta = 0) {
    QFont font = QApplication::font();
    if (pointSizeDelta != 0 && font.pointSize() > 0) font.setPointSize(font.pointSize() + pointSizeDelta);
    return font;
}

// A count axis from 0: a tick at each count up to five, above that Qt's round steps, so
// that every label is a whole number.
QValueAxis* CountAxis(int highest) {
    auto* axis = new QValueAxis;
    axis->setLabelFormat(QStringLiteral("%d"));
    axis->setRange(0, std::max(highest, 1));
    if (highest <= 5)
        axis->setTickCount(std::max(highest, 1) + 1);
    else
        axis->applyNiceNumbers();
    axis->setLabelsFont(ChartFont(-1));
    return axis;
}

void AddPie(QChart& chart, const ChartData& data) {
    auto* series = new QPieSeries;
    for (const ChartBar& bar : data.bars) {
        if (bar.count == 0) continue;
        QPieSlice* slice = series->append(ToQString(bar.label) + QStringLiteral(" %1").arg(bar.count), bar.count);
        if (bar.rgb != 0) slice->setColor(QColor::fromRgb(bar.rgb));
        slice->setLabelVisible(true);
        slice->setLabelFont(ChartFont());
    }
    series->setPieSize(0.6);
    chart.addSeries(series);
    chart.legend()->hide();
}

// One bar set per bar, stacked on its own category, so that each bar can have its colour.
void AddBars(QChart& chart, const ChartData& data) {
    auto* series = new QStackedBarSeries;
    int highest = 0;
    const bool ownColours = std::any_of(data.bars.begin(), data.bars.end(), [](const ChartBar& b) { return b.rgb; });
    auto* single = ownColours ? nullptr : new QBarSet(QString());
    for (std::size_t i = 0; i < data.bars.size(); ++i) {
        const ChartBar& bar = data.bars[i];
        highest = std::max(highest, bar.count);
        if (single) {
            *single << bar.count;
            continue;
        }
        auto* set = new QBarSet(ToQString(bar.label));
        for (std::size_t j = 0; j < data.bars.size(); ++j) *set << (j == i ? bar.count : 0);
        set->setColor(QColor::fromRgb(bar.rgb));
        series->append(set);
    }
    if (single) {
        single->setColor(QColor::fromRgb(0x5C7FB8));
        series->append(single);
    }
    series->setBarWidth(0.7);
    chart.addSeries(series);

    // Each bar at its index on a plain axis, labelled by CLabelFitter: unlike a category
    // axis, it keeps the first and the last label when the labels are thinned.
    auto* axisX = new QCategoryAxis;
    axisX->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axisX->setRange(-0.5, static_cast<qreal>(std::max<std::size_t>(data.bars.size(), 1)) - 0.5);
    axisX->setLabelsFont(ChartFont(-1));
    axisX->setGridLineVisible(false);
    chart.addAxis(axisX, Qt::AlignBottom);
    series->attachAxis(axisX);
    std::vector<std::string> labels;
    for (const ChartBar& bar : data.bars) labels.push_back(bar.label);
    new CLabelFitter(chart, *axisX, std::move(labels), data.kind != ChartKind::Maps);
    QValueAxis* axisY = CountAxis(highest);
    chart.addAxis(axisY, Qt::AlignLeft);
    series->attachAxis(axisY);
    chart.legend()->hide();
}

// Lines over categories (the months), each category at its index on the x axis, labelled
// as many as fit.
void AddLines(QChart& chart, const ChartData& data) {
    const int count = static_cast<int>(data.categories.size());
    auto* axisX = new QCategoryAxis;
    axisX->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axisX->setRange(0, std::max(count - 1, 1));
    axisX->setLabelsFont(ChartFont(-1));
    chart.addAxis(axisX, Qt::AlignBottom);
    new CLabelFitter(chart, *axisX, data.categories, true);
    int highest = 0;
    for (const ChartLine& line : data.lines)
        for (int n : line.counts) highest = std::max(highest, n);
    QValueAxis* axisY = CountAxis(highest);
    chart.addAxis(axisY, Qt::AlignLeft);
    for (const ChartLine& line : data.lines) {
        auto* series = new QLineSeries;
        series->setName(ToQString(line.label));
        for (std::size_t i = 0; i < line.counts.size(); ++i) series->append(static_cast<qreal>(i), line.counts[i]);
        QPen pen(QColor::fromRgb(line.rgb));
        pen.setWidth(2);
        series->setPen(pen);
        chart.addSeries(series);
        series->attachAxis(axisX);
        series->attachAxis(axisY);
    }
    chart.setMargins(chart.margins() + QMargins(0, 0, 16, 0));  // room for the last month's label
    chart.legend()->setFont(ChartFont(-1));
    chart.legend()->setAlignment(Qt::AlignTop);  // below, it would lie over the upright month labels
}

}  // namespace

QChart* MakeChart(const ChartData& data) {
    auto* chart = new QChart;
    chart->setTitle(ToQString(data.title));
    chart->setTitleFont(ChartFont(2));
    chart->setAnimationOptions(QChart::NoAnimation);
    if (data.pie)
        AddPie(*chart, data);
    else if (!data.lines.empty())
        AddLines(*chart, data);
    else
        AddBars(*chart, data);
    return chart;
}

bool SaveChart(const ChartData& data, const QString& path) {
    const std::optional<ChartFileFormat> format = ChartFileFormatOf(path.toStdString());
    if (!format) return false;
    QGraphicsScene scene;
    QChart* chart = MakeChart(data);
    scene.addItem(chart);  // the scene owns it now
    chart->resize(kChartWidth, kChartHeight);
    chart->layout()->activate();  // the labels laid out for this size
    const QRectF area(0, 0, kChartWidth, kChartHeight);
    if (*format == ChartFileFormat::Svg) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(QSize(kChartWidth, kChartHeight));
        svg.setViewBox(area);
        svg.setTitle(chart->title());
        QPainter painter;
        if (!painter.begin(&svg)) return false;
        scene.render(&painter, area, area);
        return painter.end() && file.error() == QFileDevice::NoError;
    }
    QImage image(kChartWidth, kChartHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, area, area);
    painter.end();
    return image.save(path, *format == ChartFileFormat::Jpeg ? "JPEG" : "PNG");
}
