#pragma once

#include <QWidget>

// A message that assistive technology presents once, when it is given, whatever has the focus:
// a notification without extent that appears anew, named by the message. Nothing shows on
// the screen, and flat review passes over it.
class CAnnouncement : public QWidget {
    Q_OBJECT
public:
    explicit CAnnouncement(QWidget* parent);

    void Announce(const QString& message);
};
