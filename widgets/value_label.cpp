#include "value_label.h"

void CValueLabel::setText(const QString& text) {
    if (text == QLabel::text()) {
        return;
    }
    QLabel::setText(text);
    setAccessibleDescription(text);
}

void CValueLabel::clear() {
    setText(QString());
}
