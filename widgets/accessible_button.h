#pragma once

// Check boxes and radio buttons reach assistive technology with their own role, and their
// accessibility actions click them: the same signals and handlers run as for a mouse click
// (Qt's own interface only flips the check mark, so a dialog never hears of it). A static text
// that reports clicks is pressed through its action likewise. Install once,
// after the QApplication exists, so that it comes before Qt's own factory.
void InstallAccessibleButtons();
