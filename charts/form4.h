// The continent chart window: the continent-by-band counters of the continent window as a bar
// chart.
#pragma once

#include "chartwindow.h"
#include "quorvane/continent_band_tally.h"

// Ten bands, each with one bar per continent, AF to SA. Builds its chart once, in the
// constructor, from the counters as they are then, and keeps no reference to them.
class Form4 : public ChartWindow {
    Q_OBJECT
  public:
    explicit Form4(const quorvane::ContinentBandTally& counters, QWidget* parent = nullptr);

    // The bars of `counters`, as the constructor draws them.
    void Fill(const quorvane::ContinentBandTally& counters);
};
