#include "accessible_button.h"

#include "accessible_label.h"
#include "announcement.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QCheckBox>
#include <QKeySequence>
#include <QLabel>
#include <QRadioButton>
#include <QToolButton>

namespace {

class CAccessibleButton : public QAccessibleWidget {
public:
    CAccessibleButton(QAbstractButton* button, QAccessible::Role role)
        : QAccessibleWidget(button, role) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            return WithoutMnemonic(Button()->text());
        }
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = Button()->isCheckable();
        state.checked = Button()->isChecked();
        return state;
    }

    QStringList actionNames() const override {
        if (!widget()->isEnabled()) {
            return {};
        }
        return Button()->isCheckable() ? QStringList{pressAction(), toggleAction()}
                                       : QStringList{pressAction()};
    }

    void doAction(const QString& actionName) override {
        if (!widget()->isEnabled()) {
            return;
        }
        if (actionName == pressAction() || actionName == toggleAction()) {
            // Queued, so that the assistive technology has its answer before a command opens a
            // modal window; a direct click would hold the answer until that window closes.
            QMetaObject::invokeMethod(Button(), &QAbstractButton::click, Qt::QueuedConnection);
            return;
        }
        QAccessibleWidget::doAction(actionName);
    }

    QStringList keyBindingsForAction(const QString& actionName) const override {
        const QKeySequence mnemonic = QKeySequence::mnemonic(Button()->text());
        if (mnemonic.isEmpty() || actionNames().indexOf(actionName) < 0) {
            return {};
        }
        return {mnemonic.toString(QKeySequence::NativeText)};
    }

private:
    QAbstractButton* Button() const { return static_cast<QAbstractButton*>(widget()); }
};

QAccessibleInterface* ButtonFactory(const QString&, QObject* object) {
    if (auto* radio = qobject_cast<QRadioButton*>(object)) {
        return new CAccessibleButton(radio, QAccessible::RadioButton);
    }
    if (auto* check = qobject_cast<QCheckBox*>(object)) {
        return new CAccessibleButton(check, QAccessible::CheckBox);
    }
    if (auto* tool = qobject_cast<QToolButton*>(object);
        tool != nullptr && tool->menu() == nullptr) {
        return new CAccessibleButton(tool, QAccessible::Button);
    }
    if (auto* announcement = qobject_cast<CAnnouncement*>(object)) {
        return new QAccessibleWidget(announcement, QAccessible::Notification);
    }
    if (auto* label = qobject_cast<QLabel*>(object)) {
        return CreateAccessibleLabel(label);
    }
    return nullptr;
}

} // namespace

void InstallAccessibleButtons() {
    static const bool installed = [] {
        QAccessible::installFactory(ButtonFactory);
        return true;
    }();
    (void)installed;
}
