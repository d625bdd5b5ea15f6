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

// Introduces a widget and its controls to assistive technology afresh, under new identities.
// For a widget first met while hidden, as a sheet's page before its first display: Qt reports
// only that it starts showing, never that it became visible, so a screen reader that met it
// or its controls hidden would pass over them.
void IntroduceAfresh(QWidget* widget);
