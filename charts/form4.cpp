#include "form4.h"

#include "twips.h"

Form4::Form4(const quorvane::ContinentBandTally& /*counters*/, QWidget* parent) : QWidget(parent) {
    setObjectName("Form4");
    setWindowTitle("Continent Chart");
    setFixedSize(TwipsToPixels(7455), TwipsToPixels(4515));
}
