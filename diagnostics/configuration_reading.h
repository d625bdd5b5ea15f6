#pragma once

#include "records.h"

#include <QString>

#include <optional>

// The instrument configuration as the Configuration page reads it: the record, whose serial
// number block has already gone back to the task allocator, and that serial number as text.
struct ConfigurationReading {
    InstrumentConfiguration record{}; // pszSerialNumber is null
    QString serialNumber;
};

// GetInstrumentConfiguration through g_pServer, its blocks released; nothing when it failed.
std::optional<ConfigurationReading> ReadConfiguration();

// The volumes with the page's formats: "%5.1f" for the sample loop, "%3.1f" for the needle.
QString SampleLoopVolumeText(float volume);
QString NeedleVolumeText(float volume);
