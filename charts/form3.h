// The mode chart window: the band-by-mode counters of the main window as a bar chart.
#pragma once

#include <QWidget>

#include "quorvane/band_mode_tally.h"

// Builds its chart once, in the constructor, from the counters as they are then.
class Form3 : public QWidget {
    Q_OBJECT
public:
    explicit Form3(const quorvane::BandModeTally& counters, QWidget* parent = nullptr);
};
