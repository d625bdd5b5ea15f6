#include "recording_server.h"

#include "call_origin.h"
#include "history_recorder.h"
#include "ids_history.h"
#include "string_table.h"

#include <QDateTime>

CRecordingInstrumentServer* CRecordingInstrumentServer::Create(IInstrumentServer* inner,
                                                               IServiceHistorySink& sink) {
    return new CRecordingInstrumentServer(inner, sink);
}

CRecordingInstrumentServer::CRecordingInstrumentServer(IInstrumentServer* inner,
                                                       IServiceHistorySink& sink)
    : CInstrumentServerDecorator(inner), m_sink(sink) {}

HRESULT CRecordingInstrumentServer::Pass(const COperationCall& call) {
    // Worded before the call goes out: a configuration apply compares with what was known.
    const std::int64_t sentMs = QDateTime::currentMSecsSinceEpoch();
    const std::optional<QString> words =
        HistoryWords(call, WordingContext{m_configuration, CCallOrigin::Current()});
    const HRESULT hr = CInstrumentServerDecorator::Pass(call);
    Learn(call, hr);
    if (words) {
        const QString text = LoadString(IDS_HISTORY_RESULT_FORMAT).arg(*words, ResultText(hr));
        if (call.Info().kind == OperationKind::Session) {
            m_sink.RecordSession(sentMs, text);
        } else {
            m_sink.RecordAction(sentMs, text);
        }
    }
    return hr;
}

void CRecordingInstrumentServer::Learn(const COperationCall& call, HRESULT hr) {
    if (FAILED(hr)) {
        return;
    }
    if (call.Is<op::GetInstrumentConfiguration>()) {
        const auto [ppConfiguration] = call.Args<op::GetInstrumentConfiguration>();
        if (ppConfiguration != nullptr && *ppConfiguration != nullptr) {
            m_configuration = Known(**ppConfiguration);
            m_sink.SetInstrumentSerial(m_configuration->serial);
        }
    } else if (call.Is<op::SetInstrumentConfiguration>()) {
        const auto [pConfiguration] = call.Args<op::SetInstrumentConfiguration>();
        if (pConfiguration != nullptr) {
            m_configuration = Known(*pConfiguration);
        }
    }
}
