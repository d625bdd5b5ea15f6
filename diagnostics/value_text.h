#pragma once

class QLabel;
class QString;

// Shows a value in its label and gives assistive technology the same text; an unchanged value
// changes nothing, so a screen reader is not told of every refresh.
void ShowValueText(QLabel* label, const QString& text);
