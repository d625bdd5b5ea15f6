#pragma once

#include <QRadioButton>

// A radio button that a click does not check: it reports the click and its dialog decides
// which button of the group shows checked.
class CPlainRadioButton : public QRadioButton {
    Q_OBJECT
public:
    explicit CPlainRadioButton(QWidget* parent = nullptr);

protected:
    void nextCheckState() override;
};
