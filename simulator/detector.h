#pragma once

#include <cstdint>
#include <random>
#include <vector>

// The UV detector downstream of the column: absorbance in micro-absorbance units, sampled at
// 10 Hz, a quiet baseline with the peaks of the last injection's sample.
class CDetector {
public:
    static constexpr std::int64_t kSampleMs = 100;
    static constexpr std::size_t kMaxBuffered = 6'000;

    void MarkInjection() { m_sinceInjectionMs = 0; }
    void Advance(std::int64_t dtMs);
    // Samples gathered since the last call, oldest first.
    std::vector<std::int32_t> TakeSamples();
    void Clear();

private:
    double Signal() const;

    std::int64_t m_sinceInjectionMs = -1;
    std::int64_t m_untilSampleMs = kSampleMs;
    std::vector<std::int32_t> m_samples;
    std::mt19937 m_noise{1999};
};
