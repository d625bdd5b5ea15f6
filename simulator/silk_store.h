#pragma once

#include "error_log.h"
#include "hresult.h"
#include "nv_state.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// The Silk measurements: made when a Silk procedure ends, kept in the non-volatile memory, and
// written to or read from Silk files in the store's folder. A fault becomes an instrument
// error, as the firmware reports it.
class CSilkStore {
public:
    // commit writes the non-volatile memory after the measurements changed.
    CSilkStore(NvState& nv, CErrorLog& errors, std::string folder, std::function<void()> commit);

    // A Silk procedure ended on the pumps in the mask: their syringes are measured.
    void OnMeasured(std::int32_t pumpMask);
    // Writes the measurements to a new file in the folder.
    HRESULT Upload();
    // Takes the measurements from a file, if it is this instrument's.
    HRESULT Download(const std::string& path);
    void Reset();

    bool WriteToDisk() const { return m_nv.bSilkWriteToDisk; }
    void SetWriteToDisk(bool on);

    const std::string& Folder() const { return m_folder; }
    const std::string& LastFile() const { return m_lastFile; }

private:
    std::optional<std::string> WriteFile();

    NvState& m_nv;
    CErrorLog& m_errors;
    std::string m_folder;
    std::function<void()> m_commit;
    std::string m_lastFile;
};
