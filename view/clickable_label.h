#pragma once

#include "value_label.h"

// A value text that reports a left click on it, as a notifying static control does.
class CClickableLabel : public CValueLabel {
    Q_OBJECT
public:
    using CValueLabel::CValueLabel;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
