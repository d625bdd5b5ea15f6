#include "plain_radio_button.h"

CPlainRadioButton::CPlainRadioButton(QWidget* parent) : QRadioButton(parent) {
    // The dialog unchecks the others itself; Qt's exclusivity would refuse that.
    setAutoExclusive(false);
}

void CPlainRadioButton::nextCheckState() {}
