#include "scroll_check.h"

#include "form_scroll_area.h"

#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <QWidget>

namespace {

const CFormScrollArea* HoldingArea(const QWidget* widget) {
    for (const QWidget* parent = widget; parent != nullptr; parent = parent->parentWidget()) {
        if (const auto* area = qobject_cast<const CFormScrollArea*>(parent)) {
            return area;
        }
    }
    return nullptr;
}

int TabStops(const QWidget* window) {
    int stops = 0;
    for (const QWidget* widget : window->findChildren<QWidget*>()) {
        if (widget->isVisibleTo(window) && widget->isEnabled() &&
            (widget->focusPolicy() & Qt::TabFocus) != 0) {
            ++stops;
        }
    }
    return stops;
}

} // namespace

QStringList ControlsTabLeavesOutOfView(QWidget* window) {
    QStringList hidden;
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window)) {
        return {QStringLiteral("the window never became active")};
    }
    const int stops = TabStops(window);
    for (int i = 0; i < stops; ++i) {
        QWidget* focused = QApplication::focusWidget();
        if (focused == nullptr) {
            return {QStringLiteral("nothing has the focus")};
        }
        QTest::keyClick(focused, Qt::Key_Tab);
        focused = QApplication::focusWidget();
        const CFormScrollArea* area = HoldingArea(focused);
        if (area == nullptr) {
            continue;
        }
        const QRect shown = area->viewport()->rect();
        const QRect place(focused->mapTo(area->viewport(), QPoint(0, 0)), focused->size());
        // Along each side a control longer than the area shows what fits of it (an edit, where
        // its cursor is).
        const auto shows = [](int start, int length, int viewStart, int viewLength) {
            const int end = start + length;
            const int viewEnd = viewStart + viewLength;
            return length > viewLength ? start < viewEnd && end > viewStart
                                       : start >= viewStart && end <= viewEnd;
        };
        const bool across = shows(place.x(), place.width(), shown.x(), shown.width());
        const bool down = shows(place.y(), place.height(), shown.y(), shown.height());
        if (!across || !down) {
            hidden << QStringLiteral("%1 at %2,%3 %6x%7 outside %4x%5")
                          .arg(focused->objectName())
                          .arg(place.x())
                          .arg(place.y())
                          .arg(shown.width())
                          .arg(shown.height())
                          .arg(place.width())
                          .arg(place.height());
        }
    }
    return hidden;
}

bool ScrollsBothWays(const QWidget* holder) {
    const auto* area = holder->findChild<const CFormScrollArea*>();
    return area != nullptr && area->horizontalScrollBar()->isVisible() &&
           area->verticalScrollBar()->isVisible();
}
