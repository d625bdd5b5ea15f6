#include "prime_pump_choice.h"

#include "instrument_server.h"
#include "process_state.h"
#include "pump_mask.h"

#include <QCheckBox>

namespace {

constexpr std::array<std::int32_t, 3> kReservoirs{kReservoirA1, kReservoirA2, kReservoirA3};

} // namespace

CPrimePumpChoice::CPrimePumpChoice(const Controls& controls, QObject* parent)
    : QObject(parent), m_controls(controls) {
    m_controls.pumpA->setChecked(true);
    m_controls.pumpB->setChecked(true);
    m_controls.pumpC->setChecked(true);
    for (QAbstractButton* reservoir : m_controls.reservoirs) {
        reservoir->setChecked(false);
    }
    // Hidden but still checked: the mask leaves pump C out by the installed flag.
    if (g_state.pumpCInstalled == 0) {
        m_controls.pumpC->hide();
    }
    connect(m_controls.pumpA, &QCheckBox::clicked, this, &CPrimePumpChoice::OnPumpAClicked);
    for (std::size_t i = 0; i < m_controls.reservoirs.size(); ++i) {
        connect(m_controls.reservoirs[i], &QAbstractButton::clicked, this,
                [this, i] { OnReservoirClicked(i); });
    }
}

std::int32_t CPrimePumpChoice::PumpMask() const {
    return BuildPumpMask(m_controls.pumpA->isChecked(), m_controls.pumpB->isChecked(),
                         m_controls.pumpC->isChecked());
}

void CPrimePumpChoice::OnPumpAClicked(bool checked) {
    for (QAbstractButton* reservoir : m_controls.reservoirs) {
        reservoir->setEnabled(checked);
    }
}

void CPrimePumpChoice::OnReservoirClicked(std::size_t index) {
    for (std::size_t i = 0; i < m_controls.reservoirs.size(); ++i) {
        m_controls.reservoirs[i]->setChecked(i == index);
    }
    g_pServer->SelectSolvent(kReservoirs[index]);
}
