#include "page_valves.h"

#include "autosampler_monitor.h"
#include "instrument_server.h"
#include "process_state.h"
#include "resource.h"
#include "string_table.h"
#include "ui_page_valves.h"
#include "value_label.h"

#include <QPushButton>

#include <initializer_list>

namespace {

// Positions MoveSyringeValve takes.
constexpr std::int32_t kMoveFill = 1;
constexpr std::int32_t kMoveDeadEnd = 2;
constexpr std::int32_t kMoveDeliver = 3;

// States the syringe data reports; other values are not valid states.
constexpr std::int16_t kStateFill = -1;
constexpr std::int16_t kStateDeadEnd = 0;
constexpr std::int16_t kStateDeliver = 1;
constexpr std::int16_t kStateInMotion = 3;

constexpr std::int32_t kEnableSyringeData = 1;

} // namespace

CPageValves::CPageValves()
    : CPropertyPage(IDD_PAGE_VALVES), m_ui(std::make_unique<Ui::PageValves>()),
      m_fill(LoadString(IDS_VALVE_STATE_FILL)), m_deadEnd(LoadString(IDS_VALVE_STATE_DEAD_END)),
      m_deliver(LoadString(IDS_VALVE_STATE_DELIVER)),
      m_inMotion(LoadString(IDS_VALVE_STATE_IN_MOTION)),
      m_invalid(LoadString(IDS_VALVE_STATE_INVALID)),
      m_unknown(LoadString(IDS_VALVE_STATE_UNKNOWN)) {
    m_ui->setupUi(this);
    const std::array<std::array<QPushButton*, 3>, kValveCount> rows{{
        {m_ui->valve1DeliverButton, m_ui->valve1DeadEndButton, m_ui->valve1FillButton},
        {m_ui->valve2DeliverButton, m_ui->valve2DeadEndButton, m_ui->valve2FillButton},
        {m_ui->valve3DeliverButton, m_ui->valve3DeadEndButton, m_ui->valve3FillButton},
        {m_ui->valve4DeliverButton, m_ui->valve4DeadEndButton, m_ui->valve4FillButton},
        {m_ui->valve5DeliverButton, m_ui->valve5DeadEndButton, m_ui->valve5FillButton},
        {m_ui->valve6DeliverButton, m_ui->valve6DeadEndButton, m_ui->valve6FillButton},
    }};
    constexpr std::array<std::int32_t, 3> kPositions{kMoveDeliver, kMoveDeadEnd, kMoveFill};
    for (std::size_t row = 0; row < rows.size(); ++row) {
        const auto valve = static_cast<std::int32_t>(row + 1);
        for (std::size_t column = 0; column < kPositions.size(); ++column) {
            QPushButton* button = rows[row][column];
            const std::int32_t position = kPositions[column];
            m_buttons[row * kPositions.size() + column] = button;
            connect(button, &QPushButton::clicked, this,
                    [this, valve, position] { OnMove(valve, position); });
        }
    }
    m_stateTexts = {m_ui->valve1StateText, m_ui->valve2StateText, m_ui->valve3StateText,
                    m_ui->valve4StateText, m_ui->valve5StateText, m_ui->valve6StateText};
}

CPageValves::~CPageValves() = default;

bool CPageValves::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    if (g_state.pumpCInstalled == 0) {
        for (QWidget* widget : std::initializer_list<QWidget*>{
                 m_ui->valve5Label, m_ui->valve6Label, m_ui->valve5DeliverButton,
                 m_ui->valve5DeadEndButton, m_ui->valve5FillButton, m_ui->valve6DeliverButton,
                 m_ui->valve6DeadEndButton, m_ui->valve6FillButton, m_ui->valve5StateText,
                 m_ui->valve6StateText}) {
            widget->hide();
        }
    }
    // The status view fetches the valve states only while the flag is set; without it the
    // page would show the empty record's zeros as "Dead-End" for ever.
    g_state.syringeDataFlag = 1;
    g_pServer->EnableSyringeData(kEnableSyringeData);
    StartTimer(kRefreshPeriodMs);
    RefreshStates();
    return true;
}

bool CPageValves::OnSetActive() {
    MonitorOff();
    return CPropertyPage::OnSetActive();
}

void CPageValves::OnTimer() {
    RefreshStates();
    if (m_lock.Tick()) {
        EnableButtons(true);
    }
}

// The move's outcome shows in the valve states; the lock runs its ticks whatever the
// instrument answers.
void CPageValves::OnMove(std::int32_t valve, std::int32_t position) {
    m_lock.Lock();
    EnableButtons(false);
    std::int32_t reply = 0;
    g_pServer->MoveSyringeValve(valve, position, &reply);
}

// Pump C's hidden buttons are locked and unlocked with the others and stay hidden.
void CPageValves::EnableButtons(bool enable) {
    for (QPushButton* button : m_buttons) {
        button->setEnabled(enable);
    }
}

void CPageValves::RefreshStates() {
    for (std::size_t i = 0; i < m_stateTexts.size(); ++i) {
        ShowValueText(m_stateTexts[i], g_state.syringeDataFetched
                                           ? StateText(g_state.syringeData.anValveState[i])
                                           : m_unknown);
    }
}

QString CPageValves::StateText(std::int16_t state) const {
    switch (state) {
    case kStateFill:
        return m_fill;
    case kStateDeadEnd:
        return m_deadEnd;
    case kStateDeliver:
        return m_deliver;
    case kStateInMotion:
        return m_inMotion;
    default:
        return m_invalid;
    }
}
