#pragma once

#include <QWidget>

// Dialog templates tag every control that has a resource id with it, in this dynamic property.
inline constexpr char kControlIdProperty[] = "controlId";

// The control inside a window that carries the resource id, or null when there is none.
QWidget* FindControl(const QWidget* window, int id);

template <class W> W* FindControl(const QWidget* window, int id) {
    return qobject_cast<W*>(FindControl(window, id));
}
