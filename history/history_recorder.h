#pragma once

#include "history_entry.h"

#include <QString>

#include <memory>

class CHistoryWriter;

// Where the recording server and the windows hand what happened; the recorder stamps it.
struct IServiceHistorySink {
    virtual void RecordAction(std::int64_t whenMs, const QString& text) = 0;
    // A change of what the server keeps for this client; a sink that keeps only actions lets
    // it go.
    virtual void RecordSession(std::int64_t /*whenMs*/, const QString& /*text*/) {}
    // The serial number of the instrument that later entries are about.
    virtual void SetInstrumentSerial(const QString& serial) = 0;

protected:
    ~IServiceHistorySink() = default;
};

// Stamps each event with the user's login name, the computer's name and the instrument's serial
// number and hands it to the writer. Without a writer (the history is off) it stamps nothing.
class CHistoryRecorder final : public IServiceHistorySink {
public:
    explicit CHistoryRecorder(std::unique_ptr<CHistoryWriter> writer);
    ~CHistoryRecorder();

    void Record(HistoryKind kind, std::int64_t whenMs, const QString& text);
    void RecordAction(std::int64_t whenMs, const QString& text) override;
    void RecordSession(std::int64_t whenMs, const QString& text) override;
    void SetInstrumentSerial(const QString& serial) override;

    CHistoryWriter* Writer() const { return m_writer.get(); }

private:
    std::unique_ptr<CHistoryWriter> m_writer;
    const QString m_user;
    const QString m_host;
    QString m_serial;
};

// The login name of the account running the client.
QString LoginName();

// The process-wide recorder, or null while there is none (tests, or the history is off).
CHistoryRecorder* ServiceHistory();
void SetServiceHistory(CHistoryRecorder* recorder);
// An action of the client that is no call on the server (a file chosen, a wizard closed).
void NoteServiceAction(const QString& text);
