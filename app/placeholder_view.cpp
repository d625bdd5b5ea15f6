#include "placeholder_view.h"

CPlaceholderView::CPlaceholderView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("placeholderView"));
}
