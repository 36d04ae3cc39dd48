#include "core/fit_text.h"

#include <vector>

#include "core/cp932.h"

std::string FitTextToWidth(std::string_view text, int width, int margin, const TextWidthFn& measure) {
    if (text.empty() || measure(text) + margin <= width) return std::string(text);

    // Ends of every whole character, so that each candidate cut lies on a boundary.
    std::vector<std::size_t> ends;
    for (std::size_t pos = 0; pos < text.size(); pos += cp932::CharLength(text, pos))
        ends.push_back(pos + cp932::CharLength(text, pos));

    constexpr std::string_view kDots = "...";
    const int dotsWidth = measure(kDots);
    std::size_t keep = ends.front();
    for (std::size_t i = ends.size() - 1; i-- > 0;) {
        if (measure(text.substr(0, ends[i])) + dotsWidth + margin <= width) {
            keep = ends[i];
            break;
        }
    }
    std::string fitted(text.substr(0, keep));
    fitted += kDots;
    return fitted;
}
