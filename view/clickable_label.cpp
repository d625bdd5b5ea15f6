#include "clickable_label.h"

#include <QMouseEvent>

void CClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    // A press that is dragged off the text before release is not a click.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
    CValueLabel::mouseReleaseEvent(event);
}
