#pragma once

#include <QLabel>

// Shows a value in a label and gives assistive technology the same text as its description; an
// unchanged value changes nothing, so a screen reader is not told of every refresh.
void ShowValueText(QLabel* label, const QString& text);

// A static text that shows a value. Assistive technology reads its caption as the accessible
// name (set in the form) and the value as the accessible description, which follows the text
// whenever it changes, and only then.
class CValueLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    // Hide QLabel's own, which would leave the description behind the text.
    void setText(const QString& text);
    void clear();
};
