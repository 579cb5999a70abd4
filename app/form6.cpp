#include "form6.h"

#include "windowdesign.h"

Form6::Form6(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form6"));
    ApplyWindowDesign(*this, Border::Fixed);
    setWindowTitle(QStringLiteral("QRX I'm busy !"));
    SizeAndCentre(*this, 2235, 30, Border::Fixed);
}
