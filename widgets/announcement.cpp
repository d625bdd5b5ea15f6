#include "announcement.h"

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
