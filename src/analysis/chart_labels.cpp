#include "analysis/chart_labels.h"

#include <algorithm>
#include <cmath>

#include "core/cp932.h"

namespace {

constexpr double kGap = 4;  // pixels kept free between two level labels
constexpr int kAngles[] = {0, -45, -90};
constexpr int kLongestAbbreviation = 6;

std::vector<std::size_t> CharStarts(std::string_view text) {
    std::vector<std::size_t> starts;
    for (std::size_t pos = 0; pos < text.size(); pos += cp932::CharLength(text, pos)) starts.push_back(pos);
    return starts;
}

// Whether labels of at most `widest` pixels, one every `every` slots, fit turned by `angle`.
bool Fits(double widest, int angle, int every, const LabelSpace& space) {
    const double pitch = space.slot * every;
    switch (angle) {
        case 0:
            return widest + kGap <= pitch && space.lineHeight <= space.depth;
        case -45: {
            constexpr double kSin45 = 0.7071067811865476;
            // A slanted label spans (width + height)*sin45 both across and down; it is centred
            // on its category, so the first and the last stay inside the plot only when that
            // span fits their slot. Two parallel slanted labels are pitch*sin45 apart.
            const double span = (widest + space.lineHeight) * kSin45;
            return span <= space.slot && span <= space.depth && pitch * kSin45 >= space.lineHeight;
        }
        default:
            return pitch >= space.lineHeight && widest <= space.depth;
    }
}

double Widest(const std::vector<std::string>& labels, int every, const LabelWidth& width) {
    double widest = 0;
    for (std::size_t i = 0; i < labels.size(); ++i)
        if (i % every == 0 || i + 1 == labels.size()) widest = std::max(widest, width(labels[i]));
    return widest;
}

// Every n-th label and the last; a label too close before the last one is left out for it.
std::vector<std::string> Thinned(const std::vector<std::string>& labels, int every) {
    std::vector<std::string> shown(labels.size());
    const std::size_t last = labels.empty() ? 0 : labels.size() - 1;
    for (std::size_t i = 0; i < labels.size(); i += every)
        if (i == 0 || last - i >= static_cast<std::size_t>(every)) shown[i] = labels[i];
    if (!labels.empty()) shown[last] = labels[last];
    return shown;
}

// The first angle at which every `every`-th label fits, or nothing.
std::optional<AxisLabelPlan> TryAngles(const std::vector<std::string>& labels, int every, const LabelSpace& space,
                                       const LabelWidth& width) {
    const double widest = Widest(labels, every, width);
    for (int angle : kAngles)
        if (Fits(widest, angle, every, space)) return AxisLabelPlan{angle, every, false, Thinned(labels, every)};
    return std::nullopt;
}

std::optional<AxisLabelPlan> TryThinning(const std::vector<std::string>& labels, const LabelSpace& space,
                                         const LabelWidth& width) {
    const int count = static_cast<int>(labels.size());
    for (int every = 1; every < std::max(count, 2); ++every)
        if (auto plan = TryAngles(labels, every, space, width)) return plan;
    return std::nullopt;
}

bool HasTwins(std::vector<std::string> labels) {
    std::sort(labels.begin(), labels.end());
    return std::adjacent_find(labels.begin(), labels.end()) != labels.end();
}

}  // namespace

std::string AbbreviateLabel(std::string_view label, int characters) {
    static const std::string kSuffixes[] = {*cp932::FromUtf8("県"), *cp932::FromUtf8("府"), *cp932::FromUtf8("都")};
    std::vector<std::size_t> starts = CharStarts(label);
    if (starts.size() > 2)
        for (const std::string& suffix : kSuffixes)
            if (label.substr(starts.back()) == suffix) {
                label = label.substr(0, starts.back());
                starts.pop_back();
                break;
            }
    if (static_cast<int>(starts.size()) <= characters) return std::string(label);
    return std::string(label.substr(0, starts[static_cast<std::size_t>(std::max(characters, 0))]));
}

AxisLabelPlan PlanAxisLabels(const std::vector<std::string>& labels, const LabelSpace& space, const LabelWidth& width) {
    if (auto plan = TryAngles(labels, 1, space, width)) return *plan;
    if (space.ordered)
        if (auto plan = TryThinning(labels, space, width)) return *plan;
    std::vector<std::string> shortest = labels;
    for (int characters = kLongestAbbreviation; characters >= 1; --characters) {
        std::vector<std::string> shortened(labels.size());
        std::transform(labels.begin(), labels.end(), shortened.begin(),
                       [characters](const std::string& label) { return AbbreviateLabel(label, characters); });
        if (HasTwins(shortened)) break;  // two categories would read alike
        shortest = shortened;
        auto plan = space.ordered ? TryThinning(shortened, space, width) : TryAngles(shortened, 1, space, width);
        if (plan) return plan->abbreviated = true, *plan;
    }
    // Even the shortest distinct labels do not fit side by side: every n-th of them.
    AxisLabelPlan plan = TryThinning(shortest, space, width).value_or(AxisLabelPlan{-90, 1, true, shortest});
    plan.abbreviated = true;
    return plan;
}
