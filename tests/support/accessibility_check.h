#pragma once

#include <QStringList>

class QWidget;

// Checks a window and every widget in it, as assistive technology sees them through
// QAccessible::queryAccessibleInterface:
// - a value label (a label given an accessible name, its caption) describes the text it shows;
// - a picture has a name, and one the program sets (it has a control id) describes its state;
// - radio buttons and check boxes have their own roles and, while enabled, an action;
// - every control that takes input has a name and takes the focus by Tab (toolbar buttons and
//   a dock's title buttons excepted: the menus carry their commands).
// Widgets hidden within the window are skipped. Returns one line per breach, naming the widget;
// empty when the window keeps the contract.
QStringList AccessibilityProblems(QWidget* window);
