#include "indicator.h"

#include "bitmap_table.h"
#include "string_table.h"

#include <QPainter>

IndicatorImage LoadIndicatorImage(int bitmapId, int stateTextId) {
    return {bitmapId, LoadBitmapResource(bitmapId), BitmapResourceSize(bitmapId),
            LoadString(stateTextId)};
}

CIndicator::CIndicator(QWidget* parent) : QLabel(parent) {}

void CIndicator::SetImage(const IndicatorImage& image) {
    if (image.id == m_imageId) {
        return;
    }
    m_imageId = image.id;
    m_icon = image.icon;
    setFixedSize(image.size);
    // The label keeps a pixmap for its picture role; painting goes through the icon, so that a
    // scaled screen gets the image drawn at its own resolution.
    setPixmap(image.icon.pixmap(image.size));
    setAccessibleDescription(image.stateText);
}

void CIndicator::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    m_icon.paint(&painter, contentsRect());
}
