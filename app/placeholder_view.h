#pragma once

#include <QWidget>

// Stands in the main window until the status view takes its place.
class CPlaceholderView : public QWidget {
    Q_OBJECT
public:
    explicit CPlaceholderView(QWidget* parent = nullptr);
    QSize sizeHint() const override { return {480, 300}; }
};
