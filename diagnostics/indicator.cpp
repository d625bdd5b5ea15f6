#include "indicator.h"

#include "bitmap_table.h"
#include "string_table.h"

#include <QPainter>

IndicatorImage LoadIndicatorImage(int bitmapId, int stateTextId) {
    return {bitmapId, LoadBitmapResource(bitmapId), BitmapResourceSize(bitmapId),
            LoadString(stateTextId)};
}

CIndicator::CIndicator(QWidget* parent) : QLabel(parent) {}

void CIndicator::SetCaption(const QString& caption) {
    m_caption = caption;
    UpdateName();
}

void CIndicator::UpdateName() {
    const QString state = accessibleDescription();
    setAccessibleName(state.isEmpty() ? m_caption : m_caption + u' ' + state);
}

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
    UpdateName();
}

void CIndicator::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    m_icon.paint(&painter, contentsRect());
}
