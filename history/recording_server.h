#pragma once

#include "history_words.h"
#include "instrument_decorator.h"

#include <optional>

struct IServiceHistorySink;

// Wraps the instrument server so that every Action call is recorded once, when it is made, with
// its arguments in words and the result the server answered, whoever makes it (dialogs, pages,
// the Test menu); Session calls are recorded as session entries. Reads pass through unrecorded,
// except that the configuration read through it names the instrument in later entries and is
// the "old" side of the fields a configuration apply changes.
class CRecordingInstrumentServer final : public CInstrumentServerDecorator {
public:
    // Reference count 1. The sink must outlive it.
    static CRecordingInstrumentServer* Create(IInstrumentServer* inner, IServiceHistorySink& sink);

private:
    CRecordingInstrumentServer(IInstrumentServer* inner, IServiceHistorySink& sink);
    ~CRecordingInstrumentServer() override = default;

    HRESULT Pass(const COperationCall& call) override;
    // Keeps the configuration a call read or applied.
    void Learn(const COperationCall& call, HRESULT hr);

    IServiceHistorySink& m_sink;
    std::optional<KnownConfiguration> m_configuration;
};
