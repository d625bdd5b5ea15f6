#pragma once

#include <QStringList>

class QWidget;

// Presses Tab round the window's controls once, from the one with the focus, as a keyboard user
// does, and names each control that took the focus inside a scroll area without showing in it.
QStringList ControlsTabLeavesOutOfView(QWidget* window);

// Whether the first scroll area inside the widget shows a horizontal and a vertical scroll bar.
bool ScrollsBothWays(const QWidget* holder);
