#include "announcement.h"

#include <QAccessible>

CAnnouncement::CAnnouncement(QWidget* parent) : QWidget(parent) {
    setFixedSize(0, 0);
    setFocusPolicy(Qt::NoFocus);
}

void CAnnouncement::Announce(const QString& message) {
    setAccessibleName(message);
    // A screen reader speaks a notification when it starts showing.
    hide();
    show();
}

void IntroduceAfresh(QWidget* widget) {
    // Its controls too: they may have been met hidden, through the events they sent meanwhile.
    QList<QWidget*> known = widget->findChildren<QWidget*>();
    known.prepend(widget);
    for (QWidget* each : known) {
        if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(each)) {
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
        }
    }
    QAccessibleEvent created(widget, QAccessible::ObjectCreated);
    QAccessible::updateAccessibility(&created);
}
