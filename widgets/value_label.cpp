#include "value_label.h"

void ShowValueText(QLabel* label, const QString& text) {
    if (label->text() == text) {
        return;
    }
    label->setText(text);
    label->setAccessibleDescription(text);
}

void CValueLabel::setText(const QString& text) {
    ShowValueText(this, text);
}

void CValueLabel::clear() {
    setText(QString());
}
