#pragma once

#include <QLabel>

// A static text that reports a left click on it, as a notifying static control does.
class CClickableLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
