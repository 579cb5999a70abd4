// The continent chart window: the continent-by-band counters of the continent window as a bar chart.
#pragma once

#include <QWidget>

#include "quorvane/continent_band_tally.h"

// Builds its chart once, in the constructor, from the counters as they are then.
class Form4 : public QWidget {
    Q_OBJECT
public:
    explicit Form4(const quorvane::ContinentBandTally& counters, QWidget* parent = nullptr);
};
