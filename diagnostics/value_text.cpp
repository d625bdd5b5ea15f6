#include "value_text.h"

#include <QLabel>

void ShowValueText(QLabel* label, const QString& text) {
    if (label->text() == text) {
        return;
    }
    label->setText(text);
    label->setAccessibleDescription(text);
}
