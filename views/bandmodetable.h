// The band/mode table of the main window: 13 rows by 5 columns on a GridControl.
#pragma once

#include "quorvane/band_mode_tally.h"

class GridControl;

// Shape, headers, sizes and alignment; the data cells stay empty.
void SetUpBandModeTable(GridControl& grid);

// Writes all 48 data cells, forming each total of the tally just before its cell is written,
// so that an overflow stops the fill at that cell. Raises CounterOverflow.
void FillBandModeTable(GridControl& grid, quorvane::BandModeTally& tally);

// Empties the 48 data cells, as before the first log.
void ClearBandModeTable(GridControl& grid);
