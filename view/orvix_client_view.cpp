#include "orvix_client_view.h"

#include "form_scroll_area.h"
#include "instrument_forwarder.h"
#include "instrument_server.h"
#include "process_state.h"
#include "record_memory.h"
#include "resource.h"
#include "ui_orvix_client_form.h"

#include <QPushButton>
#include <QTimerEvent>

#include <cstring>
#include <vector>

namespace {

constexpr std::int32_t kPlateExchange = 1;
constexpr std::int32_t kPlateHome = 0;
constexpr std::int32_t kFeeder1 = 0;
constexpr std::int32_t kFeeder2 = 1;
constexpr std::int32_t kFeederNext = 1;
constexpr std::int32_t kFeederHome = 0;

// Status, state and errors stand out in a bold sans-serif face of this height; which face is
// left to the font mapper, as for any Swiss-family request.
constexpr int kStatusFontPixelHeight = 16;
constexpr char kSwissFamily[] = "sans-serif";

QFont StatusFont() {
    QFont font(QString::fromLatin1(kSwissFamily));
    font.setStyleHint(QFont::SansSerif,
                      QFont::StyleStrategy(QFont::PreferOutline | QFont::PreferQuality));
    font.setFixedPitch(false);
    font.setPixelSize(kStatusFontPixelHeight);
    font.setWeight(QFont::Bold);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

} // namespace

COrvixClientView::COrvixClientView(QWidget* parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::OrvixClientForm>()), m_statusFont(StatusFont()) {
    m_ui->setupUi(this);
    CFormScrollArea::Wrap(this);
    m_testCommands = new CTestCommands(m_ui->columnSetText, m_ui->sampleSetText, this);

    QPalette errorsPalette = m_ui->errorsText->palette();
    errorsPalette.setColor(QPalette::WindowText, Qt::red);
    m_ui->errorsText->setPalette(errorsPalette);
    connect(m_ui->errorsText, &CClickableLabel::clicked, this, &COrvixClientView::ClearErrors);
    m_errorAnnouncement = new CAnnouncement(this);

    // The Errors text stays as it is: it keeps its colour and can still be clicked away.
    m_values = {m_ui->statusText,       m_ui->stateText,        m_ui->pressureText,
                m_ui->flowRateText,     m_ui->compositionAText, m_ui->compositionBText,
                m_ui->compositionCText, m_ui->columnSetText,    m_ui->columnActualText,
                m_ui->sampleSetText,    m_ui->sampleActualText, m_ui->injectValveText,
                m_ui->streamValveText,  m_ui->ventValveText,    m_ui->auxFlowRateText,
                m_ui->auxPressureText};

    // Plate and feeder moves report nothing: the next refreshes show their effect.
    connect(m_ui->exchangePlateButton, &QPushButton::clicked, this,
            [] { g_pServer->PositionSamplePlate(kPlateExchange); });
    connect(m_ui->homePlateButton, &QPushButton::clicked, this,
            [] { g_pServer->PositionSamplePlate(kPlateHome); });
    connect(m_ui->feeder1NextButton, &QPushButton::clicked, this,
            [] { g_pServer->StepPlateFeeder(kFeeder1, kFeederNext); });
    connect(m_ui->feeder1HomeButton, &QPushButton::clicked, this,
            [] { g_pServer->StepPlateFeeder(kFeeder1, kFeederHome); });
    connect(m_ui->feeder2NextButton, &QPushButton::clicked, this,
            [] { g_pServer->StepPlateFeeder(kFeeder2, kFeederNext); });
    connect(m_ui->feeder2HomeButton, &QPushButton::clicked, this,
            [] { g_pServer->StepPlateFeeder(kFeeder2, kFeederHome); });
}

COrvixClientView::~COrvixClientView() {
    if (m_nTimer != 0) {
        killTimer(m_nTimer);
    }
}

void COrvixClientView::OnInitialUpdate() {
    if (m_initialUpdateDone) {
        return;
    }
    m_initialUpdateDone = true;

    ReadConfiguration();
    ShowFittedOptions();
    for (CValueLabel* text :
         std::initializer_list<CValueLabel*>{m_ui->statusText, m_ui->stateText, m_ui->errorsText}) {
        text->setFont(m_statusFont);
    }
    // The fit comes after hiding and the font change: both alter the form's size hint.
    raise();
    setFocus();
    emit fitFrameRequested();

    m_nTimer = startTimer(kRefreshPeriodMs);
}

void COrvixClientView::ReadConfiguration() {
    InstrumentConfiguration* pConfiguration = nullptr;
    // On failure the flags keep their start-up values, so every option reads as not fitted.
    if (FAILED(g_pServer->GetInstrumentConfiguration(&pConfiguration))) {
        return;
    }
    if (pConfiguration != nullptr) {
        g_state.pumpCInstalled = pConfiguration->bPumpCInstalled;
        g_state.sampleTemperature = pConfiguration->bSampleTemp;
        g_state.plateFeeder = pConfiguration->bPlateFeeder;
        g_state.ternaryGradient = pConfiguration->bTernaryGradient;
    }
    ReleaseInstrumentConfiguration(pConfiguration);
}

void COrvixClientView::ShowFittedOptions() {
    const FittedStatusValues fitted = FittedStatusValuesOf(
        g_state.pumpCInstalled != 0, g_state.ternaryGradient != 0, g_state.sampleTemperature != 0);
    m_ui->compositionCText->setVisible(fitted.compositionC);
    for (QWidget* widget :
         std::initializer_list<QWidget*>{m_ui->auxPressureLabel, m_ui->auxPressureText,
                                         m_ui->auxFlowRateLabel, m_ui->auxFlowRateText}) {
        widget->setVisible(fitted.auxRows);
    }
    for (QWidget* button : {m_ui->feeder2HomeButton, m_ui->feeder2NextButton,
                            m_ui->feeder1HomeButton, m_ui->feeder1NextButton}) {
        button->setVisible(g_state.plateFeeder != 0);
    }
    for (QWidget* widget : std::initializer_list<QWidget*>{
             m_ui->sampleLabel, m_ui->sampleActualText, m_ui->sampleSetText}) {
        widget->setVisible(fitted.sampleTemperature);
    }
}

void COrvixClientView::OnServerReconnected() {
    if (!m_initialUpdateDone) {
        return;
    }
    ReadConfiguration();
    ShowFittedOptions();
    emit fitFrameRequested();
    OnTimer();
}

void COrvixClientView::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_nTimer) {
        OnTimer();
    }
    QWidget::timerEvent(event);
}

void COrvixClientView::OnTimer() {
    Refresh();
    m_connection.Update();
    ShowStale(m_lastReadFailed || m_connection.State() != ConnectionState::Connected);
}

void COrvixClientView::Refresh() {
    InstrumentStatus* pStatus = nullptr;
    // A failed read leaves every field as it was; the next tick tries again.
    const HRESULT hr = g_pServer->ReadStatus(&pStatus);
    m_lastReadFailed = FAILED(hr);
    if (m_lastReadFailed) {
        emit statusReadFailed(hr);
        return;
    }
    if (pStatus != nullptr) {
        ShowStatus(m_formatter.Format(*pStatus));
        const QString firstError = pStatus->bErrorsPending != 0 ? ShowFirstError() : QString();
        emit statusRead(*pStatus, firstError);
    }
    ReleaseInstrumentStatus(pStatus);

    // The Silk or Valves page turns this on; both read the record on their timers.
    if (g_state.syringeDataFlag != 0) {
        FetchSyringeData();
    }
}

void COrvixClientView::ShowStatus(const StatusTexts& texts) {
    m_ui->statusText->setText(texts.statusMessage);
    m_ui->stateText->setText(texts.state);
    m_ui->pressureText->setText(texts.pressure);
    m_ui->flowRateText->setText(texts.flowRate);
    m_ui->compositionAText->setText(texts.compositionA);
    m_ui->compositionBText->setText(texts.compositionB);
    m_ui->compositionCText->setText(texts.compositionC);
    m_ui->columnSetText->setText(texts.columnSet);
    m_ui->columnActualText->setText(texts.columnActual);
    m_ui->sampleSetText->setText(texts.sampleSet);
    m_ui->sampleActualText->setText(texts.sampleActual);
    m_ui->injectValveText->setText(texts.injectValve);
    m_ui->streamValveText->setText(texts.streamValve);
    m_ui->ventValveText->setText(texts.ventValve);
    m_ui->auxFlowRateText->setText(texts.auxFlowRate);
    m_ui->auxPressureText->setText(texts.auxPressure);
}

QString COrvixClientView::ShowFirstError() {
    // An error stays on show until the user clears it, so a failed or empty read leaves the last
    // one in place.
    const std::optional<QString> firstError = ReadFirstError().text;
    if (!firstError) {
        return {};
    }
    if (*firstError != m_ui->errorsText->text()) {
        m_ui->errorsText->setText(*firstError);
        m_errorAnnouncement->Announce(*firstError);
    }
    return *firstError;
}

void COrvixClientView::FetchSyringeData() {
    // The server does not read the input bytes; it only needs a block of the record's size.
    std::vector<std::uint8_t> input(sizeof(SyringeDataRecord));
    const TransferDataBlock in{static_cast<std::uint32_t>(input.size()), input.data()};
    TransferDataBlock* pOut = nullptr;
    if (FAILED(g_pServer->ReadSyringeData(kSyringeDataRecordCode, 0, 0, &in, &pOut))) {
        return;
    }
    // A block shorter than the record would be read past its end: keep the last good record.
    if (pOut != nullptr && pOut->pData != nullptr && pOut->cbData >= sizeof(SyringeDataRecord)) {
        std::memcpy(&g_state.syringeData, pOut->pData, sizeof(SyringeDataRecord));
        g_state.syringeDataFetched = true;
    }
    ReleaseTransferBlock(pOut);
}

void COrvixClientView::ShowStale(bool stale) {
    if (stale == m_stale) {
        return;
    }
    m_stale = stale;
    for (QWidget* value : m_values) {
        value->setEnabled(!stale);
    }
}

void COrvixClientView::ClearErrors() {
    // Through setText, so that assistive technology hears that the text is gone.
    m_ui->errorsText->setText(QString());
}

void COrvixClientView::OnResetCommunications() {
    ClearErrors();
    // The reset reports nothing: the next refreshes show the instrument coming back, or a
    // server that went away found again.
    g_pServer->InitializeInstrument(kConnectArg1, kConnectArg2);
    RequestServerReconnect(g_pServer);
}

bool COrvixClientView::HasCommand(int commandId) const {
    return commandId == ID_RESET_COMMUNICATIONS || m_testCommands->HasCommand(commandId);
}

void COrvixClientView::OnCommand(int commandId) {
    if (commandId == ID_RESET_COMMUNICATIONS) {
        OnResetCommunications();
        return;
    }
    m_testCommands->OnCommand(commandId);
}
