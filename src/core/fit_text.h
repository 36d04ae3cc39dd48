// Shortening a cell's text to the width it is drawn in.
#pragma once

#include <functional>
#include <string>
#include <string_view>

// The drawn width of a code page 932 text, in pixels.
using TextWidthFn = std::function<int(std::string_view)>;

// The text unchanged when its width plus `margin` fits in `width`; otherwise its longest
// leading part that fits together with "...", followed by "...". The cut never splits a
// double-byte character; when nothing fits, the first character stays.
std::string FitTextToWidth(std::string_view text, int width, int margin, const TextWidthFn& measure);
