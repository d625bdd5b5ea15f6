#include "value_label.h"

#include <algorithm>

CValueLabel::CValueLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
}

CValueLabel::CValueLabel(const QString& text, QWidget* parent) : CValueLabel(parent) {
    setText(text);
}

void ShowValueText(QLabel* label, const QString& text) {
    label->setTextFormat(Qt::PlainText);
    if (label->text() != text) {
        label->setText(text);
    }
}

QSize CValueLabel::sizeHint() const {
    return WithLine(QLabel::sizeHint());
}

QSize CValueLabel::minimumSizeHint() const {
    return WithLine(QLabel::minimumSizeHint());
}

QSize CValueLabel::WithLine(QSize size) const {
    if (text().isEmpty()) {
        // Frame and margins around the text, as the label is laid out now.
        const int around = height() - contentsRect().height() + 2 * margin();
        size.setHeight(std::max(size.height(), fontMetrics().height() + around));
    }
    return size;
}
