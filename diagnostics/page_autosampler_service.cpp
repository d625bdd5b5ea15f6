#include "page_autosampler_service.h"

#include "autosampler_monitor.h"
#include "control_id.h"
#include "instrument_server.h"
#include "plate_type_dlg.h"
#include "resource.h"
#include "ui_page_autosampler_service.h"

#include <QComboBox>
#include <QPushButton>

#include <array>

namespace {

struct PlateLayout {
    std::int32_t rows;
    std::int32_t columns;
    // What SetPlateType expects for the plate.
    std::int32_t serverCode;
};

// In the order of the Plate Type dialog's list.
constexpr std::array<PlateLayout, 4> kPlates{{
    {6, 8, 3},   // 48 Vial
    {8, 12, 0},  // 96 Low
    {8, 12, 1},  // 96 High
    {16, 24, 2}, // 384 Low
}};

void EmptyList(QComboBox* list) {
    while (list->count() > 0) {
        list->removeItem(0);
    }
}

} // namespace

CPageAutoSamplerService::CPageAutoSamplerService()
    : CPropertyPage(IDD_PAGE_AUTOSAMPLER_SERVICE),
      m_ui(std::make_unique<Ui::PageAutoSamplerService>()) {
    m_ui->setupUi(this);
    ConnectMove(IDC_SERVICE_SYRINGE_WASH, &IInstrumentServer::MoveSampleSyringeValve, 1);
    ConnectMove(IDC_SERVICE_SYRINGE_NEEDLE, &IInstrumentServer::MoveSampleSyringeValve, 2);
    ConnectMove(IDC_SERVICE_SYRINGE_WASTE, &IInstrumentServer::MoveSampleSyringeValve, 3);
    ConnectMove(IDC_SERVICE_NEEDLE_UNIT_UP, &IInstrumentServer::MoveNeedleUnit, 0);
    ConnectMove(IDC_SERVICE_NEEDLE_UNIT_DOWN, &IInstrumentServer::MoveNeedleUnit, 1);
    ConnectMove(IDC_SERVICE_SAMPLE_NEEDLE_UP, &IInstrumentServer::MoveSampleNeedle, 0);
    ConnectMove(IDC_SERVICE_SAMPLE_NEEDLE_DOWN, &IInstrumentServer::MoveSampleNeedle, 1);
    ConnectMove(IDC_SERVICE_AIR_ON, &IInstrumentServer::SetAirCompressor, 1);
    ConnectMove(IDC_SERVICE_AIR_OFF, &IInstrumentServer::SetAirCompressor, 0);
    ConnectMove(IDC_SERVICE_LEFT_HOME, &IInstrumentServer::MoveLeftUnit, 0);
    ConnectMove(IDC_SERVICE_LEFT_NEXT, &IInstrumentServer::MoveLeftUnit, 1);
    ConnectMove(IDC_SERVICE_RIGHT_HOME, &IInstrumentServer::MoveRightUnit, 0);
    ConnectMove(IDC_SERVICE_RIGHT_NEXT, &IInstrumentServer::MoveRightUnit, 1);
    ConnectMove(IDC_SERVICE_CENTER_HOME, &IInstrumentServer::MoveCenterUnit, 0);
    ConnectMove(IDC_SERVICE_CENTER_PLACE, &IInstrumentServer::MoveCenterUnit, 1);
    ConnectMove(IDC_SERVICE_CENTER_DROP, &IInstrumentServer::MoveCenterUnit, 2);
    ConnectMove(IDC_SERVICE_CENTER_UP, &IInstrumentServer::LiftCenterUnit, 0);
    ConnectMove(IDC_SERVICE_CENTER_DOWN, &IInstrumentServer::LiftCenterUnit, 1);
    // Only the engineer's pick reaches the instrument, not the refilling of the lists.
    connect(m_ui->rowCombo, &QComboBox::activated, this, &CPageAutoSamplerService::OnRowPicked);
    connect(m_ui->columnCombo, &QComboBox::activated, this,
            &CPageAutoSamplerService::OnColumnPicked);
}

CPageAutoSamplerService::~CPageAutoSamplerService() = default;

// Commands are sent as often as the button is pressed; the next status shows their effect.
void CPageAutoSamplerService::ConnectMove(int id,
                                          HRESULT (IInstrumentServer::*command)(std::int32_t),
                                          std::int32_t argument) {
    connect(FindControl<QPushButton>(this, id), &QPushButton::clicked, this,
            [command, argument] { (g_pServer->*command)(argument); });
}

bool CPageAutoSamplerService::OnSetActive() {
    CPlateTypeDlg dialog(m_nPlateIndex, this);
    dialog.DoModal();
    m_nPlateIndex = dialog.GetPlateIndex();
    FillPlateLists(m_nPlateIndex);
    MonitorOn();
    return CPropertyPage::OnSetActive();
}

void CPageAutoSamplerService::FillPlateLists(std::int32_t plateIndex) {
    const PlateLayout& plate = kPlates.at(static_cast<std::size_t>(plateIndex));
    EmptyList(m_ui->rowCombo);
    EmptyList(m_ui->columnCombo);
    for (std::int32_t row = 0; row < plate.rows; ++row) {
        m_ui->rowCombo->addItem(QString(QChar(u'A' + row)));
    }
    for (std::int32_t column = 1; column <= plate.columns; ++column) {
        m_ui->columnCombo->addItem(QString::number(column));
    }
    // Nothing is picked until the engineer picks it.
    m_ui->rowCombo->setCurrentIndex(-1);
    m_ui->columnCombo->setCurrentIndex(-1);
    g_pServer->SetPlateType(plate.serverCode);
}

void CPageAutoSamplerService::OnRowPicked(int index) {
    g_pServer->SelectPlateRow(index);
}

void CPageAutoSamplerService::OnColumnPicked(int index) {
    g_pServer->SelectPlateColumn(index + 1);
}
