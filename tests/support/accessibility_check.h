#pragma once

#include <QStringList>

class QWidget;

// Checks a window and every widget in it, as assistive technology sees them through
// QAccessible::queryAccessibleInterface:
// - a static text is named by the text it shows, so flat review reads what is on the screen;
// - a value text (a CValueLabel) is labelled by a caption: a label (its buddy, or one its
//   captions property names), which names it back as labelled, or the titled group around it;
// - a picture has a name, and one the program sets (it has a control id) is labelled by its
//   caption and says its state: its name is the caption's text and then its state (its
//   description);
// - radio buttons and check boxes have their own roles and, while enabled, an action;
// - every control that takes input has a name, the text of its caption when a caption labels
//   it, and takes the focus by Tab (toolbar buttons and a dock's title buttons excepted: the
//   menus carry their commands).
// Widgets hidden within the window are skipped. Returns one line per breach, naming the widget;
// empty when the window keeps the contract.
QStringList AccessibilityProblems(QWidget* window);
