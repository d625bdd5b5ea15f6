#pragma once

// Check boxes, radio buttons and tool buttons reach assistive technology with their own role,
// and their accessibility actions click them, just after answering: the same signals and
// handlers run as for a mouse click (Qt's own interface only flips a check mark, so a dialog
// never hears of it, and clicks a tool button before answering, so a command that opens a modal
// window keeps the assistive technology waiting until the window closes). Static texts get
// theirs too (accessible_label.h): named by what they show, with their captions as relations.
// Install once, after the QApplication exists, so that it comes before Qt's own factory.
void InstallAccessibleButtons();
