// The mode chart window: the band-by-mode counters of the main window as a bar chart.
#pragma once

#include "chartwindow.h"
#include "quorvane/band_mode_tally.h"

// Ten bands, each with a CW, a DIG and a PHO bar. Builds its chart once, in the constructor,
// from the counters as they are then, and keeps no reference to them.
class Form3 : public ChartWindow {
    Q_OBJECT
  public:
    explicit Form3(const quorvane::BandModeTally& counters, QWidget* parent = nullptr);

    // The bars of `counters`, as the constructor draws them.
    void Fill(const quorvane::BandModeTally& counters);
};
