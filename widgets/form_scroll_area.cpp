#include "form_scroll_area.h"

#include <QApplication>
#include <QEvent>
#include <QLayout>
#include <QVBoxLayout>

namespace {

// Room left beside a control scrolled into view, so its caption next to it shows too.
constexpr int kFocusMargin = 16;

} // namespace

CFormScrollArea::CFormScrollArea(QWidget* parent) : QScrollArea(parent) {
    setObjectName(QStringLiteral("formScrollArea"));
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setFocusPolicy(Qt::NoFocus);
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { FollowFocus(now); });
}

CFormScrollArea* CFormScrollArea::Wrap(QWidget* form) {
    QLayout* layout = form->layout();
    if (layout == nullptr) {
        return nullptr;
    }
    auto* area = new CFormScrollArea(form);
    auto* content = new QWidget(area);
    content->setObjectName(form->objectName() + QStringLiteral("Content"));
    // Takes the layout off the form, and its controls with it, in their order.
    content->setLayout(layout);
    area->SetContent(content);
    auto* holder = new QVBoxLayout(form);
    holder->setContentsMargins(0, 0, 0, 0);
    holder->addWidget(area);
    return area;
}

void CFormScrollArea::SetContent(QWidget* content) {
    // Growing is fine; shrinking below the size hint would squeeze the layout.
    content->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Minimum);
    setWidget(content);
    content->installEventFilter(this);
}

QSize CFormScrollArea::sizeHint() const {
    const int frame = 2 * frameWidth();
    if (widget() == nullptr) {
        return QScrollArea::sizeHint();
    }
    return widget()->sizeHint().expandedTo(widget()->minimumSize()) + QSize(frame, frame);
}

bool CFormScrollArea::eventFilter(QObject* watched, QEvent* event) {
    // The content's layout changed (options hidden, a font set): so did this area's size hint.
    if (watched == widget() && event->type() == QEvent::LayoutRequest) {
        updateGeometry();
    }
    return QScrollArea::eventFilter(watched, event);
}

void CFormScrollArea::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    // The window system shrank the window: the control being worked on stays in view.
    FollowFocus(QApplication::focusWidget());
}

void CFormScrollArea::FollowFocus(QWidget* focused) {
    if (focused != nullptr && widget() != nullptr && widget()->isAncestorOf(focused)) {
        ensureWidgetVisible(focused, kFocusMargin, kFocusMargin);
    }
}
