#include "firmware.h"

#include "sim_refusals.h"

CFirmware::CFirmware(CErrorLog& errors) : m_errors(errors) {}

void CFirmware::PrepareUpgrade() {
    m_reader.Close();
    Restart(true);
}

void CFirmware::Restart(bool intoLoader) {
    m_mode = Mode::Restarting;
    m_restartIntoLoader = intoLoader;
    m_restartMs = kRestartMs;
}

HRESULT CFirmware::Download(const std::string& path) {
    if (!InLoader()) {
        m_errors.Raise("Firmware download refused: the instrument is not in its loader");
        return E_UNEXPECTED;
    }
    // Another file replaces the one being sent, and the count starts again.
    m_reader.Close();
    m_validator = CSRecordValidator();
    m_linesSent = 0;
    m_credit = 0.0;
    m_path = path;
    if (auto fault = m_reader.Open(path)) {
        m_mode = Mode::Loader;
        m_errors.Raise("Firmware download failed: cannot read " + path + ": " + *fault);
        return E_FAIL;
    }
    m_mode = Mode::Downloading;
    return S_OK;
}

void CFirmware::PowerCycle() {
    if (m_mode == Mode::Downloading) {
        m_reader.Close();
        m_errors.Raise("Firmware download interrupted at line " + std::to_string(m_linesSent + 1) +
                       ": the instrument lost power");
    }
    // Without a complete firmware, or on its way into the loader, the instrument comes back
    // in its loader.
    const bool loader = InLoader() || (m_mode == Mode::Restarting && m_restartIntoLoader);
    m_mode = loader ? Mode::Loader : Mode::Running;
}

bool CFirmware::SetLinesPerSecond(std::int32_t rate) {
    if (rate < 1 || rate > kMaxLinesPerSecond) {
        return false;
    }
    m_linesPerSecond = rate;
    return true;
}

void CFirmware::Stop(const std::string& fault, std::int32_t line) {
    m_reader.Close();
    m_mode = Mode::Loader;
    m_errors.Raise("Firmware download stopped at line " + std::to_string(line) + ": " + fault);
}

// Sends one more line; false when the download has ended, one way or the other.
bool CFirmware::SendLine() {
    const std::int32_t lineNumber = m_linesSent + 1;
    switch (m_reader.Next(m_line)) {
    case CLineReader::Result::End:
        return Finish(lineNumber);
    case CLineReader::Result::Error:
        Stop("the file could not be read", lineNumber);
        return false;
    case CLineReader::Result::TooLong:
        Stop("line longer than any S-record", lineNumber);
        return false;
    case CLineReader::Result::Line:
        break;
    }
    if (auto fault = m_validator.Feed(m_line)) {
        Stop(*fault, lineNumber);
        return false;
    }
    ++m_linesSent;
    // The end of the file counts with the last line, not one line's time later.
    return !m_reader.AtEnd() || Finish(lineNumber + 1);
}

bool CFirmware::Finish(std::int32_t lineNumber) {
    if (auto fault = m_validator.Finish()) {
        Stop(*fault, lineNumber);
        return false;
    }
    m_reader.Close();
    if (!m_validator.HeaderText().empty()) {
        m_pumpVersion = m_validator.HeaderText();
    }
    Restart(false);
    return false;
}

void CFirmware::Advance(std::int64_t dtMs) {
    if (m_mode == Mode::Restarting) {
        m_restartMs -= dtMs;
        if (m_restartMs <= 0) {
            m_mode = m_restartIntoLoader ? Mode::Loader : Mode::Running;
        }
        return;
    }
    if (m_mode != Mode::Downloading) {
        return;
    }
    m_credit += static_cast<double>(m_linesPerSecond) * static_cast<double>(dtMs) / 1000.0;
    while (m_credit >= 1.0) {
        m_credit -= 1.0;
        if (!SendLine()) {
            m_credit = 0.0;
            return;
        }
    }
}

std::string CFirmware::StatusText() const {
    switch (m_mode) {
    case Mode::Running:
        return "Firmware " + m_pumpVersion;
    case Mode::Restarting:
        return m_restartIntoLoader ? "Restarting into the firmware loader" : "Restarting";
    case Mode::Loader:
        return "Firmware loader: waiting for a download";
    case Mode::Downloading:
        return "Downloading firmware: " + std::to_string(m_linesSent) + " lines sent";
    }
    return {};
}
