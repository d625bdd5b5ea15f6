#include "thermostat.h"

#include <cmath>

namespace {

// Time constants of the two blocks: the small column oven is quicker than the sample tray.
constexpr double kColumnTauMs = 60'000.0;
constexpr double kSampleTauMs = 120'000.0;

float Approach(float actual, float target, std::int64_t dtMs, double tauMs) {
    const double k = std::exp(-static_cast<double>(dtMs) / tauMs);
    return static_cast<float>(target + (actual - target) * k);
}

bool InRange(float value, float low, float high) {
    return std::isfinite(value) && value >= low && value <= high;
}

} // namespace

CThermostat::CThermostat() = default;

bool CThermostat::SetColumnSetPoint(float celsius) {
    if (!InRange(celsius, kMinColumnC, kMaxColumnC)) {
        return false;
    }
    m_columnSet = celsius;
    return true;
}

bool CThermostat::SetSampleSetPoint(float celsius) {
    if (!InRange(celsius, kMinSampleC, kMaxSampleC)) {
        return false;
    }
    m_sampleSet = celsius;
    return true;
}

void CThermostat::Advance(std::int64_t dtMs) {
    m_columnActual = Approach(m_columnActual, m_columnSet, dtMs, kColumnTauMs);
    m_sampleActual = Approach(m_sampleActual, SampleSetPoint(), dtMs, kSampleTauMs);
}

void CThermostat::ColdStart() {
    m_columnActual = kAmbientC;
    m_sampleActual = kAmbientC;
}
