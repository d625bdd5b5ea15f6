#pragma once

#include <QIcon>
#include <QLabel>
#include <QSize>
#include <QString>

// One of the images an indicator shows, with the word assistive technology reads for it. A page
// loads each of its images once and keeps it while its indicators show it.
struct IndicatorImage {
    int id = 0;
    QIcon icon;
    QSize size;
    QString stateText;
};

IndicatorImage LoadIndicatorImage(int bitmapId, int stateTextId);

// A picture control showing one indicator image at a time. The image is painted at the screen's
// own scale, and the state it stands for is the control's accessible description.
class CIndicator : public QLabel {
    Q_OBJECT
public:
    explicit CIndicator(QWidget* parent = nullptr);

    // Nothing changes when the image is already on show.
    void SetImage(const IndicatorImage& image);
    int ImageId() const { return m_imageId; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_imageId = 0;
    QIcon m_icon;
};
