#include "form_scroll_area.h"

#include <QApplication>
#include <QEvent>
#include <QLayout>
#include <QScrollBar>
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
    m_followFocus = connect(qApp, &QApplication::focusChanged, this,
                            [this](QWidget*, QWidget* now) { FollowFocus(now); });
}

CFormScrollArea::~CFormScrollArea() {
    disconnect(m_followFocus);
}

CFormScrollArea* CFormScrollArea::Wrap(QWidget* form) {
    QLayout* layout = form->layout();
    if (layout == nullptr) {
        return nullptr;
    }
    auto* area = new CFormScrollArea(form);
    auto* content = new QWidget(area);
    content->setObjectName(form->objectName() + QStringLiteral("Content"));
    // Takes the layout off the form, and its controls with it, in their order. The margins stay
    // a window's, which are wider than those the style gives a widget inside one.
    const QMargins margins = layout->contentsMargins();
    content->setLayout(layout);
    layout->setContentsMargins(margins);
    area->SetContent(content);
    auto* holder = new QVBoxLayout(form);
    holder->setContentsMargins(0, 0, 0, 0);
    holder->addWidget(area);
    return area;
}

void CFormScrollArea::SetContent(QWidget* content) {
    // The window grows in the directions the form would; a window sized to a form that does
    // not grow gets no more than the form's own size.
    const Qt::Orientations grows = content->layout() != nullptr
                                       ? content->layout()->expandingDirections()
                                       : content->sizePolicy().expandingDirections();
    setSizePolicy((grows & Qt::Horizontal) != 0 ? QSizePolicy::Expanding : QSizePolicy::Preferred,
                  (grows & Qt::Vertical) != 0 ? QSizePolicy::Expanding : QSizePolicy::Preferred);
    // Growing is fine; shrinking below the size hint would squeeze the layout.
    content->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Minimum);
    setWidget(content);
    content->installEventFilter(this);
}

void CFormScrollArea::SettleLayout() {
    if (widget() == nullptr) {
        return;
    }
    // Innermost first: a layout's activation tells the widget around it that its size changed.
    const QList<QLayout*> layouts = widget()->findChildren<QLayout*>();
    for (auto layout = layouts.rbegin(); layout != layouts.rend(); ++layout) {
        (*layout)->activate();
    }
    if (widget()->layout() != nullptr) {
        widget()->layout()->activate();
    }
    updateGeometry();
}

QSize CFormScrollArea::sizeHint() const {
    const int frame = 2 * frameWidth();
    if (widget() == nullptr) {
        return QScrollArea::sizeHint();
    }
    const QSize least = widget()->minimumSizeHint().expandedTo(widget()->minimumSize());
    const QSize whole = m_asksForLeast ? least : widget()->sizeHint().expandedTo(least);
    return whole + QSize(frame, frame);
}

QSize CFormScrollArea::minimumSizeHint() const {
    // The scroll bars need room of their own, which a small form does not.
    return QScrollArea::minimumSizeHint().boundedTo(sizeHint());
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

bool CFormScrollArea::focusNextPrevChild(bool next) {
    // The focus change itself scrolls (FollowFocus), for Tab as for a mnemonic or a click.
    return QWidget::focusNextPrevChild(next);
}

void CFormScrollArea::FollowFocus(QWidget* focused) {
    if (focused == nullptr || widget() == nullptr || !widget()->isAncestorOf(focused)) {
        return;
    }
    const QPoint place = focused->mapTo(widget(), QPoint(0, 0));
    ScrollTo(horizontalScrollBar(), place.x(), focused->width(), viewport()->width());
    ScrollTo(verticalScrollBar(), place.y(), focused->height(), viewport()->height());
}

void CFormScrollArea::ScrollTo(QScrollBar* bar, int start, int length, int shown) {
    // The whole control with some room beside it where that fits, else its beginning.
    const int room = qBound(0, (shown - length) / 2, kFocusMargin);
    const int first = start - room;
    const int end = start + length + room;
    if (end - first > shown || first < bar->value()) {
        bar->setValue(first);
    } else if (end > bar->value() + shown) {
        bar->setValue(end - shown);
    }
}
