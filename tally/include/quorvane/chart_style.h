// What every bar chart of the program shares, on the desktop and on the web page: the value
// axis and the series colours.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace quorvane {

// The value axis: from 0 to `max` in steps of `step`, the smallest step of 1, 2 or 5 times a
// power of ten that needs at most kMaxChartSteps steps to reach the largest value.
struct ChartScale {
    std::int64_t max;
    std::int64_t step;
};
inline constexpr std::int64_t kMaxChartSteps = 8;

constexpr ChartScale ChartScaleFor(std::int64_t largest) {
    if (largest <= 0) return {1, 1};
    for (std::int64_t decade = 1;; decade *= 10) {
        for (const std::int64_t factor : {1, 2, 5}) {
            const std::int64_t step = factor * decade;
            const std::int64_t steps = (largest + step - 1) / step;
            if (steps <= kMaxChartSteps) return {steps * step, step};
        }
    }
}

// The bar colours, series by series, as 0xRRGGBB: clearly different hues, from palettes made to
// stay apart for colour-blind eyes too, each dark enough to stand out from the white plot by at
// least 3:1, so that bars only a few pixels wide are told apart. Blue, red and bluish green
// first, for charts of three series; then black, purple, ochre and indigo.
inline constexpr std::array<std::uint32_t, 7> kChartSeriesColours{
    0x0072B2, 0xC0392B, 0x009E73, 0x000000, 0xAA3377, 0xB07800, 0x332288};

}  // namespace quorvane
