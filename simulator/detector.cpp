#include "detector.h"

#include <array>
#include <cmath>

namespace {

constexpr double kBaseline = 1'000.0;
constexpr double kBaselineNoise = 4.0;

struct Peak {
    double retentionMs;
    double height;
    double sigmaMs;
};
constexpr std::array<Peak, 3> kPeaks{
    {{12'000.0, 25'000.0, 800.0}, {20'000.0, 40'000.0, 1'000.0}, {31'000.0, 15'000.0, 1'400.0}}};

} // namespace

double CDetector::Signal() const {
    double value = kBaseline;
    if (m_sinceInjectionMs >= 0) {
        const auto t = static_cast<double>(m_sinceInjectionMs);
        for (const Peak& peak : kPeaks) {
            const double z = (t - peak.retentionMs) / peak.sigmaMs;
            value += peak.height * std::exp(-0.5 * z * z);
        }
    }
    return value;
}

void CDetector::Advance(std::int64_t dtMs) {
    std::normal_distribution<double> noise(0.0, kBaselineNoise);
    while (dtMs > 0) {
        const std::int64_t step = std::min(dtMs, m_untilSampleMs);
        dtMs -= step;
        m_untilSampleMs -= step;
        if (m_sinceInjectionMs >= 0) {
            m_sinceInjectionMs += step;
        }
        if (m_untilSampleMs == 0) {
            m_untilSampleMs = kSampleMs;
            if (m_samples.size() == kMaxBuffered) {
                m_samples.erase(m_samples.begin());
            }
            m_samples.push_back(static_cast<std::int32_t>(std::lround(Signal() + noise(m_noise))));
        }
    }
}

std::vector<std::int32_t> CDetector::TakeSamples() {
    std::vector<std::int32_t> samples;
    samples.swap(m_samples);
    return samples;
}

void CDetector::Clear() {
    m_samples.clear();
    m_sinceInjectionMs = -1;
}
