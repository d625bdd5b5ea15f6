#pragma once

#include "value_label.h"

// A value text that reports a click on it, as a notifying static control does. It also takes
// the keyboard focus, and Space or Enter there is a click, so the keyboard reaches it too.
class CClickableLabel : public CValueLabel {
    Q_OBJECT
public:
    explicit CClickableLabel(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};
