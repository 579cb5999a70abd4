#include "form3.h"

#include "twips.h"

Form3::Form3(const quorvane::BandModeTally& /*counters*/, QWidget* parent) : QWidget(parent) {
    setObjectName("Form3");
    setWindowTitle("Mode Chart");
    setFixedSize(TwipsToPixels(7350), TwipsToPixels(4725));
}
