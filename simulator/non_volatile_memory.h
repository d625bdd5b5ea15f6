#pragma once

#include "nv_state.h"

#include <cstdint>
#include <optional>
#include <string>

// The instrument's non-volatile memory, kept in a state file so that it survives a restart of
// the server. A commit writes the whole state to a temporary file beside the state file,
// flushes it to the disk, renames it over the state file and flushes the folder: a kill at any
// moment leaves either the old file or the new one, never a torn one.
//
// The file is text: a first line "orvix-instrument-state 1", then one "key=value" line per
// stored value, then "crc32=XXXXXXXX", the CRC-32 of every byte before that line. A file that
// fails any check is damaged; the memory then starts from defaults and says why.
class CNonVolatileMemory {
public:
    // Memory only, nothing written: for tests of the instrument model.
    CNonVolatileMemory() = default;
    explicit CNonVolatileMemory(std::string path);

    // Reads the state file. No file is a fresh instrument; a damaged file gives the defaults
    // and the returned text says what was wrong with it.
    std::optional<std::string> Load();
    // Writes the state if it changed since the last commit, or in any case with force; the
    // system's error text when the write fails.
    std::optional<std::string> Commit(bool force = false);

    NvState& State() { return m_state; }
    const std::string& Path() const { return m_path; }
    bool Dirty() const { return !(m_state == m_committed); }

    static std::string Serialize(const NvState& state);
    static std::optional<NvState> Parse(const std::string& text, std::string* pFault);
    // $XDG_STATE_HOME/orvix/instrument-server.state, ~/.local/state when it is not set.
    static std::string DefaultPath();

private:
    std::string m_path;
    NvState m_state;
    NvState m_committed;
};
