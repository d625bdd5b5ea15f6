#include "control_id.h"

QWidget* FindControl(const QWidget* window, int id) {
    if (window == nullptr) {
        return nullptr;
    }
    const auto controls = window->findChildren<QWidget*>();
    for (QWidget* control : controls) {
        const QVariant value = control->property(kControlIdProperty);
        if (value.isValid() && value.toInt() == id) {
            return control;
        }
    }
    return nullptr;
}
