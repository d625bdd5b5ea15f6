#include "accessibility_check.h"

#include "accessible_label.h"
#include "value_label.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QGroupBox>
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

// What labels the widget as assistive technology reports it: caption labels on show, and
// titled group boxes around it.
struct Captions {
    QList<const QLabel*> labels;
    bool group = false;
};

Captions CaptionsReported(QAccessibleInterface* iface, QWidget* window) {
    Captions captions;
    for (const auto& [related, relation] : iface->relations(QAccessible::Label)) {
        QObject* object = related->object();
        if (const auto* label = qobject_cast<const QLabel*>(object)) {
            if (label->isVisibleTo(window) && !label->text().isEmpty()) {
                captions.labels << label;
            }
        } else if (const auto* group = qobject_cast<const QGroupBox*>(object)) {
            captions.group = captions.group || !group->title().isEmpty();
        }
    }
    return captions;
}

QString CaptionText(const Captions& captions) {
    QStringList texts;
    for (const QLabel* label : captions.labels) {
        texts << ShownText(label);
    }
    return texts.join(u' ');
}

bool LabelsBack(const QLabel* caption, const QWidget* value) {
    QAccessibleInterface* iface =
        QAccessible::queryAccessibleInterface(const_cast<QLabel*>(caption));
    for (const auto& [related, relation] : iface->relations(QAccessible::Labelled)) {
        if (related->object() == value) {
            return true;
        }
    }
    return false;
}

void CheckPicture(QLabel* label, QAccessibleInterface* iface, QWidget* window,
                  QStringList* problems) {
    const QString name = iface->text(QAccessible::Name);
    if (name.isEmpty()) {
        *problems << Name(label) + QStringLiteral(": picture without a name");
    }
    if (!label->property("controlId").isValid()) {
        return;
    }
    const QString state = iface->text(QAccessible::Description);
    const Captions captions = CaptionsReported(iface, window);
    if (state.isEmpty()) {
        *problems << Name(label) + QStringLiteral(": picture does not describe its state");
    } else if (captions.labels.isEmpty()) {
        *problems << Name(label) + QStringLiteral(": picture without a caption");
    } else if (name != CaptionText(captions) + u' ' + state) {
        *problems << QStringLiteral("%1: picture named '%2', not '%3 %4'")
                         .arg(Name(label), name, CaptionText(captions), state);
    }
}

void CheckText(QLabel* label, QAccessibleInterface* iface, QWidget* window, QStringList* problems) {
    const QString name = iface->text(QAccessible::Name);
    if (name != ShownText(label)) {
        *problems << QStringLiteral("%1: static text named '%2' but shows '%3'")
                         .arg(Name(label), name, ShownText(label));
    }
    if (qobject_cast<const CValueLabel*>(label) == nullptr) {
        return;
    }
    const Captions captions = CaptionsReported(iface, window);
    if (captions.labels.isEmpty() && !captions.group) {
        *problems << Name(label) + QStringLiteral(": value text without a caption");
    }
    for (const QLabel* caption : captions.labels) {
        if (!LabelsBack(caption, label)) {
            *problems << QStringLiteral("%1: caption %2 does not name it as labelled")
                             .arg(Name(label), Name(caption));
        }
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

// A screen reader speaks a control's caption in place of its name: both must agree.
void CheckControl(QWidget* widget, QAccessibleInterface* iface, QWidget* window,
                  QStringList* problems) {
    const Captions captions = CaptionsReported(iface, window);
    // On this platform a combo box's name is its current item: its caption comes only through
    // the relation.
    if (qobject_cast<const QComboBox*>(widget) != nullptr) {
        if (captions.labels.isEmpty()) {
            *problems << Name(widget) + QStringLiteral(": combo box without a caption");
        }
        return;
    }
    const QString name = iface->text(QAccessible::Name);
    if (name.isEmpty()) {
        *problems << Name(widget) + QStringLiteral(": control without a name");
        return;
    }
    if (!captions.labels.isEmpty() && name != CaptionText(captions)) {
        *problems << QStringLiteral("%1: control named '%2' but its caption says '%3'")
                         .arg(Name(widget), name, CaptionText(captions));
    }
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
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            if (label->pixmap().isNull()) {
                CheckText(label, iface, window, &problems);
            } else {
                CheckPicture(label, iface, window, &problems);
            }
        }
        if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
            CheckButton(button, iface, &problems);
        }
        if (TakesInput(widget)) {
            CheckControl(widget, iface, window, &problems);
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
