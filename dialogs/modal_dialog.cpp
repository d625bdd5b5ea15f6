#include "modal_dialog.h"

#include "form_scroll_area.h"
#include "ui.h"

#include <QKeyEvent>
#include <QPushButton>

CModalDialog::CModalDialog(QWidget* parent) : QDialog(parent) {}

int CModalDialog::DoModal() {
    return exec();
}

void CModalDialog::accept() {
    done(IDOK);
}

void CModalDialog::reject() {
    done(IDCANCEL);
}

void CModalDialog::setVisible(bool visible) {
    // Before the first showing, once the derived dialog has laid out its template and before
    // the dialog takes its size from it.
    if (visible && !m_scrolls) {
        m_scrolls = true;
        CFormScrollArea::Wrap(this);
    }
    QDialog::setVisible(visible);
}

void CModalDialog::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const auto modifiers = event->modifiers() & ~Qt::KeyboardModifiers(Qt::KeypadModifier);
    if (enter && !modifiers) {
        // Qt passes Enter only to a visible default button; a hidden one still answers it here.
        const auto buttons = findChildren<QPushButton*>();
        for (QPushButton* button : buttons) {
            if (button->isDefault() && button->window() == this && button->isHidden()) {
                if (button->isEnabled()) {
                    button->click();
                }
                return;
            }
        }
    }
    QDialog::keyPressEvent(event);
}
