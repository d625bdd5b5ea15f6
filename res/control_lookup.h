#pragma once

#include <QWidget>

// Controls of a form carry their resource id as this int dynamic property.
inline constexpr char kControlIdProperty[] = "controlId";

// The first widget under root whose control id is id, or null when the form has none.
QWidget* FindControlWidget(const QWidget* root, int id);

template <class W = QWidget> W* FindControl(const QWidget* root, int id) {
    return qobject_cast<W*>(FindControlWidget(root, id));
}
