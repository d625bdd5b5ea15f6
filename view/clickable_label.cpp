#include "clickable_label.h"

#include <QKeyEvent>
#include <QMouseEvent>

CClickableLabel::CClickableLabel(QWidget* parent) : CValueLabel(parent) {
    setFocusPolicy(Qt::StrongFocus);
}

void CClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    // A press that is dragged off the text before release is not a click.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
    CValueLabel::mouseReleaseEvent(event);
}

void CClickableLabel::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Enter:
    case Qt::Key_Return:
        emit clicked();
        event->accept();
        return;
    default:
        CValueLabel::keyPressEvent(event);
    }
}
