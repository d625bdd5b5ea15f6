#include "page_autosampler.h"

#include "autosampler_monitor.h"
#include "instrument_server.h"
#include "record_memory.h"
#include "resource.h"
#include "string_table.h"
#include "ui_page_autosampler.h"
#include "value_label.h"

#include <QPushButton>

#include <utility>

namespace {

constexpr std::int32_t kInjectValveInject = 1;
constexpr std::int32_t kStreamValvePosition1 = 1;
constexpr std::int32_t kFirstReservoir = 1;
constexpr std::int32_t kLastReservoir = 3;
constexpr std::int32_t kSyringeEmpty = 0;
constexpr std::int32_t kSyringeFill = 1;
// SendAutoSamplerCommand's reply starts at this and is not looked at.
constexpr std::int32_t kNoReply = -1;

// The command travels as a COM string of its own, freed once the call returns.
void SendCommand(const char16_t* command) {
    BSTR text = SysAllocString(command);
    std::int32_t reply = kNoReply;
    g_pServer->SendAutoSamplerCommand(text, &reply);
    SysFreeString(text);
}

} // namespace

CPageAutoSampler::CPageAutoSampler()
    : CPropertyPage(IDD_PAGE_AUTOSAMPLER), m_ui(std::make_unique<Ui::PageAutoSampler>()),
      m_inject(LoadString(IDS_INJECT_VALVE_INJECT)), m_load(LoadString(IDS_INJECT_VALVE_LOAD)),
      m_position1(LoadString(IDS_STREAM_VALVE_POSITION_1)),
      m_position2(LoadString(IDS_STREAM_VALVE_POSITION_2)), m_vent(LoadString(IDS_VENT_VALVE_VENT)),
      m_system(LoadString(IDS_VENT_VALVE_SYSTEM)),
      m_reservoirFormat(LoadString(IDS_RESERVOIR_FORMAT)) {
    m_ui->setupUi(this);
    const std::array<std::pair<QPushButton*, std::function<void()>>, 7> commands{{
        {m_ui->injectButton, [] { SendCommand(kAutoSamplerInjectCommand); }},
        {m_ui->streamButton, [] { SendCommand(kAutoSamplerStreamCommand); }},
        {m_ui->ventButton, [] { SendCommand(kAutoSamplerVentCommand); }},
        {m_ui->solventButton, [] { SendCommand(kAutoSamplerSolventCommand); }},
        {m_ui->emptyButton, [] { g_pServer->MoveSampleSyringe(kSyringeEmpty); }},
        {m_ui->fillButton, [] { g_pServer->MoveSampleSyringe(kSyringeFill); }},
        {m_ui->washButton, [] { g_pServer->WashSampleSyringe(); }},
    }};
    for (std::size_t i = 0; i < commands.size(); ++i) {
        QPushButton* const button = commands[i].first;
        m_buttons[i] = button;
        connect(button, &QPushButton::clicked, this,
                [this, call = commands[i].second] { OnCommand(call); });
    }
}

CPageAutoSampler::~CPageAutoSampler() = default;

bool CPageAutoSampler::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    RefreshPositions();
    StartTimer(kRefreshPeriodMs);
    return true;
}

bool CPageAutoSampler::OnSetActive() {
    MonitorOff();
    return CPropertyPage::OnSetActive();
}

void CPageAutoSampler::OnTimer() {
    RefreshPositions();
    if (m_lock.Tick()) {
        EnableButtons(true);
    }
}

// Commands report nothing: the positions show their effect, and the lock runs its ticks
// whatever the instrument answers.
void CPageAutoSampler::OnCommand(const std::function<void()>& call) {
    m_lock.Lock();
    EnableButtons(false);
    call();
}

void CPageAutoSampler::EnableButtons(bool enable) {
    for (QPushButton* button : m_buttons) {
        button->setEnabled(enable);
    }
}

// Each position is a two-way choice; a reservoir the page does not know keeps its last text.
void CPageAutoSampler::RefreshPositions() {
    InstrumentStatus* pStatus = nullptr;
    if (FAILED(g_pServer->ReadStatus(&pStatus))) {
        return;
    }
    if (pStatus != nullptr) {
        ShowValueText(m_ui->injectPositionText,
                      pStatus->nInjectValve == kInjectValveInject ? m_inject : m_load);
        if (pStatus->nReservoir >= kFirstReservoir && pStatus->nReservoir <= kLastReservoir) {
            ShowValueText(m_ui->solventPositionText,
                          QString::asprintf(m_reservoirFormat.toUtf8().constData(),
                                            static_cast<int>(pStatus->nReservoir)));
        }
        ShowValueText(m_ui->streamPositionText,
                      pStatus->nStreamValve == kStreamValvePosition1 ? m_position1 : m_position2);
        ShowValueText(m_ui->ventPositionText, pStatus->nVentValve != 0 ? m_vent : m_system);
    }
    ReleaseInstrumentStatus(pStatus);
}
