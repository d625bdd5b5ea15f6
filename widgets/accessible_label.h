#pragma once

#include <QString>

class QAccessibleInterface;
class QLabel;
class QWidget;

// The name of the dynamic property (a list of object names) that gives a value text the captions
// that label it where a buddy cannot: a table cell names its row's and its column's caption.
inline constexpr char kCaptionsProperty[] = "captions";

// A static text as assistive technology meets it: named by the text it shows (unless the form
// names it), labelled by every caption whose buddy it is or that its captions property names,
// and a label for its buddy and for every value text that names it as a caption. A text that
// reports clicks (it has a clicked() signal) has a press action that emits it.
QAccessibleInterface* CreateAccessibleLabel(QLabel* label);

// The text a static text shows, as assistive technology reads it: rich text as plain text,
// without mnemonic markers.
QString ShownText(const QLabel* label);

// The text without its mnemonic markers: "&&" is a literal ampersand.
QString WithoutMnemonic(const QString& text);
