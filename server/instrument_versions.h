#pragma once

#include <QString>

#include <optional>

// What GetVersions answers: the autosampler's firmware, the pump's firmware and the client
// version the instrument server reports, with both COM strings already given back.
struct InstrumentVersions {
    float autoSampler = -1.0F;
    QString pump;
    QString client;
};

// Nothing when the call failed: its out-values are not read then.
std::optional<InstrumentVersions> ReadInstrumentVersions();

// The autosampler version with two decimals, as the About box shows it.
QString AutoSamplerVersionText(float version);
