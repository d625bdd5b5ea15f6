#pragma once

#include <QObject>

#include <array>
#include <cstdint>

class QAbstractButton;
class QCheckBox;

// The pumps and the reservoir of pump A that an operator picks in a prime dialog. The
// reservoir goes to the instrument the moment it is clicked; the pumps count when the prime
// starts.
class CPrimePumpChoice : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QCheckBox* pumpA;
        QCheckBox* pumpB;
        QCheckBox* pumpC;
        // A1, A2, A3
        std::array<QAbstractButton*, 3> reservoirs;
    };

    // Starts with every pump checked and no reservoir checked; pump C shows only when fitted.
    CPrimePumpChoice(const Controls& controls, QObject* parent);

    std::int32_t PumpMask() const;

private:
    void OnPumpAClicked(bool checked);
    void OnReservoirClicked(std::size_t index);

    Controls m_controls;
};
