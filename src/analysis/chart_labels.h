// How the labels along a chart's category axis are laid out so that each one shown is
// whole: never cut with an ellipsis, never over its neighbour. Decided here without any
// window code from the labels' measured widths, so that the choices can be pinned in a table.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct LabelSpace {
    double slot = 0;        // pixels along the axis for each category
    double depth = 0;       // pixels below the axis that the labels may take
    double lineHeight = 0;  // pixels of one line of the labels' font
    // Ordered categories (years, ages, months, day bands) may be thinned, since the ones
    // left out lie between their neighbours; named ones (maps) are shortened instead.
    bool ordered = true;
};

struct AxisLabelPlan {
    int angle = 0;  // 0, -45 or -90 degrees, as Qt Charts turns axis labels
    int every = 1;  // every n-th label is shown, the first and the last always
    bool abbreviated = false;
    std::vector<std::string> labels;  // the texts to show; empty for a label left out
    bool operator==(const AxisLabelPlan&) const = default;
};

// The width in pixels of a label as drawn.
using LabelWidth = std::function<double(std::string_view)>;

// The first layout that fits, tried in this order:
//  1. level, then turned by 45 degrees, then upright (90 degrees), every label whole;
//  2. ordered categories: every n-th label (smallest n), level if it fits, else turned;
//  3. named categories, or labels too long for the depth even upright: shortened by
//     AbbreviateLabel to ever fewer characters (six down to one) until one of the above fits,
//     but never so far that two labels read alike; then every n-th of the shortest.
// Labels are in code page 932, as the charts hold them.
AxisLabelPlan PlanAxisLabels(const std::vector<std::string>& labels, const LabelSpace& space, const LabelWidth& width);

// A label shortened to at most `characters` characters without any ellipsis: a place name
// first loses its prefecture suffix (県, 府 or 都; "東京都" becomes "東京", while "京都"
// stays), then whatever is still longer keeps its first `characters` characters.
std::string AbbreviateLabel(std::string_view label, int characters);
