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
// own scale. Assistive technology reads its caption and the state it stands for as its name
// ("Home set"), and the state alone as its description.
class CIndicator : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QString caption READ Caption WRITE SetCaption)
public:
    explicit CIndicator(QWidget* parent = nullptr);

    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption);

    // Nothing changes when the image is already on show.
    void SetImage(const IndicatorImage& image);
    int ImageId() const { return m_imageId; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void UpdateName();

    QString m_caption;
    int m_imageId = 0;
    QIcon m_icon;
};
