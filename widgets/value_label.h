#pragma once

#include <QLabel>

// Shows a value in a label, as plain text; an unchanged value changes nothing, so a screen reader
// is not told of every refresh. The label's accessible name is what it shows (accessible_label.h),
// so the form gives it no name of its own: its caption labels it (the caption's buddy, or the
// captions property of a table cell).
void ShowValueText(QLabel* label, const QString& text);

// A static text that shows a value the instrument reports or the client computes; assistive
// technology reads the value as its name, after its caption.
// Before its first reading it takes a line's height all the same, so a window fitted to its
// form does not come up short once the values arrive.
class CValueLabel : public QLabel {
    Q_OBJECT
public:
    // Its texts come from the instrument: shown as they are, never as markup.
    explicit CValueLabel(QWidget* parent = nullptr);
    explicit CValueLabel(const QString& text, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

private:
    QSize WithLine(QSize size) const;
};
