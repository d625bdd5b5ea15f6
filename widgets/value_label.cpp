#include "value_label.h"

void ShowValueText(QLabel* label, const QString& text) {
    if (label->text() != text) {
        label->setText(text);
    }
}
