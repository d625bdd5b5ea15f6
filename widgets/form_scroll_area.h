#pragma once

#include <QScrollArea>

class QScrollBar;

// Holds a window's form so that the window takes whatever size the window system gives it: at
// the form's own size or larger the form shows as laid out; smaller, the form keeps its size
// and scrolls, and a control that takes the keyboard focus scrolls into view. The area itself
// takes no focus, so the Tab order stays the form's.
class CFormScrollArea : public QScrollArea {
    Q_OBJECT
public:
    explicit CFormScrollArea(QWidget* parent = nullptr);
    ~CFormScrollArea() override;

    // Moves the form's layout, with every control in it, into a scroll area that becomes the
    // form's only content; the form keeps its name, properties and Tab order. Null when the form
    // has no layout.
    static CFormScrollArea* Wrap(QWidget* form);

    // Holds content, which keeps at least its size hint (or its own minimum size) and scrolls
    // below that.
    void SetContent(QWidget* content);

    // Asks for no more than the least the content needs (its minimum size), so that in a window
    // with other parts those get their whole size first.
    void AskForLeast() { m_asksForLeast = true; }

    // Brings the size hint up to date at once. Hidden controls and new fonts reach the layouts
    // around them only through posted events, a level at a time, so a window fitted to its form
    // right after such a change would otherwise be fitted to the form as it was.
    void SettleLayout();

    // The content's whole size: the window's natural size stays what the form asks for.
    QSize sizeHint() const override;
    // Never more than the form's whole size.
    QSize minimumSizeHint() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void FollowFocus(QWidget* focused);
    // Scrolls one way so that the part from start, of length, shows in the shown length.
    static void ScrollTo(QScrollBar* bar, int start, int length, int shown);

    bool m_asksForLeast = false;
    // Ended with this object: the focus moves while its controls are destroyed, after this
    // class's part of it is gone.
    QMetaObject::Connection m_followFocus;
};
