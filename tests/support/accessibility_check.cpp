#include "accessibility_check.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolBar>
#include <QWidget>

namespace {

QString Name(const QWidget* widget) {
    return widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                          : widget->objectName();
}

void CheckLabel(const QLabel* label, QAccessibleInterface* iface, QStringList* problems) {
    const QString name = iface->text(QAccessible::Name);
    const QString description = iface->text(QAccessible::Description);
    if (!label->pixmap().isNull()) {
        if (name.isEmpty()) {
            *problems << Name(label) + QStringLiteral(": picture without a name");
        }
        if (label->property("controlId").isValid() && description.isEmpty()) {
            *problems << Name(label) + QStringLiteral(": picture does not describe its state");
        }
        return;
    }
    // A label without a name of its own is read by its text; one with a caption as its name
    // must carry the text as its description.
    if (!label->accessibleName().isEmpty() && description != label->text()) {
        *problems << QStringLiteral("%1: value label '%2' describes '%3' but shows '%4'")
                         .arg(Name(label), name, description, label->text());
    }
}

void CheckButton(const QAbstractButton* button, QAccessibleInterface* iface,
                 QStringList* problems) {
    const QAccessible::Role wanted =
        qobject_cast<const QRadioButton*>(button) ? QAccessible::RadioButton
        : qobject_cast<const QCheckBox*>(button)  ? QAccessible::CheckBox
                                                  : iface->role();
    if (iface->role() != wanted) {
        *problems << QStringLiteral("%1: role %2, not %3")
                         .arg(Name(button))
                         .arg(int(iface->role()))
                         .arg(int(wanted));
    }
    QAccessibleActionInterface* actions = iface->actionInterface();
    if (button->isEnabled() && (actions == nullptr || actions->actionNames().isEmpty())) {
        *problems << Name(button) + QStringLiteral(": no accessibility action");
    }
}

bool TakesInput(const QWidget* widget) {
    return qobject_cast<const QAbstractButton*>(widget) != nullptr ||
           qobject_cast<const QLineEdit*>(widget) != nullptr ||
           qobject_cast<const QComboBox*>(widget) != nullptr ||
           qobject_cast<const QAbstractSpinBox*>(widget) != nullptr;
}

} // namespace

QStringList AccessibilityProblems(QWidget* window) {
    QStringList problems;
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    for (QWidget* widget : widgets) {
        // Assistive technology does not meet what is hidden (options not fitted, Qt's own
        // overflow buttons).
        if (widget != window && !widget->isVisibleTo(window)) {
            continue;
        }
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
        if (iface == nullptr) {
            problems << Name(widget) + QStringLiteral(": not accessible");
            continue;
        }
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            CheckLabel(label, iface, &problems);
        }
        if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
            CheckButton(button, iface, &problems);
        }
        if (TakesInput(widget) && iface->text(QAccessible::Name).isEmpty()) {
            problems << Name(widget) + QStringLiteral(": control without a name");
        }
        // Toolbar buttons and a dock's own title buttons repeat commands that the menus carry
        // to the keyboard.
        if (TakesInput(widget) && (widget->focusPolicy() & Qt::TabFocus) == 0 &&
            qobject_cast<QToolBar*>(widget->parentWidget()) == nullptr &&
            qobject_cast<QDockWidget*>(widget->parentWidget()) == nullptr) {
            problems << Name(widget) + QStringLiteral(": out of reach of the Tab key");
        }
    }
    return problems;
}
