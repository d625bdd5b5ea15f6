#pragma once

#include "error_log.h"
#include "hresult.h"
#include "srecord.h"

#include <cstdint>
#include <string>

// The instrument's firmware: its versions, the loader that PrepareSoftwareUpgrade enters, the
// download that streams an S-record file line by line at a steady rate while checking every
// record, and the restart into the new firmware.
//
// Mode by mode:
//   Running     the firmware answers; IsInstrumentReady 0.
//   Restarting  not answering (IsInstrumentReady 1) for kRestartMs, then Loader or Running.
//   Loader      the loader answers and waits for a file.
//   Downloading the loader takes lines at the download rate; progress counts them. A bad
//               record or a read failure stops here and raises an error naming the line, and
//               the loader waits for the next file. The last line sent restarts the
//               instrument into the new firmware.
class CFirmware {
public:
    enum class Mode { Running, Restarting, Loader, Downloading };

    static constexpr std::int64_t kRestartMs = 3'000;
    static constexpr std::int32_t kDefaultLinesPerSecond = 500;
    static constexpr std::int32_t kMaxLinesPerSecond = 10'000'000;

    explicit CFirmware(CErrorLog& errors);

    void PrepareUpgrade();
    HRESULT Download(const std::string& path);
    // Power lost: an interrupted download leaves the instrument in its loader.
    void PowerCycle();

    void Advance(std::int64_t dtMs);

    Mode CurrentMode() const { return m_mode; }
    bool Answering() const { return m_mode != Mode::Restarting; }
    bool InLoader() const { return m_mode == Mode::Loader || m_mode == Mode::Downloading; }
    std::int32_t LinesSent() const { return m_linesSent; }
    bool SetLinesPerSecond(std::int32_t rate);
    std::int32_t LinesPerSecond() const { return m_linesPerSecond; }

    const std::string& PumpVersion() const { return m_pumpVersion; }
    float AutoSamplerVersion() const { return m_autoSamplerVersion; }
    std::string StatusText() const;

private:
    void Restart(bool intoLoader);
    void Stop(const std::string& fault, std::int32_t line);
    bool SendLine();
    bool Finish(std::int32_t lineNumber);

    CErrorLog& m_errors;
    Mode m_mode = Mode::Running;
    bool m_restartIntoLoader = false;
    std::int64_t m_restartMs = 0;
    std::int32_t m_linesPerSecond = kDefaultLinesPerSecond;
    double m_credit = 0.0;
    std::int32_t m_linesSent = 0;
    std::string m_path;
    CLineReader m_reader;
    CSRecordValidator m_validator;
    std::string m_line;
    std::string m_pumpVersion = "3.05";
    float m_autoSamplerVersion = 2.13F;
};
