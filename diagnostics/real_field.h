#pragma once

#include <optional>

class QLineEdit;

// The decimal number in an edit, within [minimum, maximum]. A text that is not one number is
// refused with "Please enter a number.", one out of range with "Please enter a number between
// minimum and maximum."; either way the edit gets the focus with its text selected.
std::optional<float> ReadRealField(QLineEdit* edit, float minimum, float maximum);
