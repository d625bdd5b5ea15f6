#pragma once

#include <cstdint>

// Column oven and sample cooler: each actual temperature approaches its set point as a
// first-order lag, the way a heated block with a PID loop looks from outside.
class CThermostat {
public:
    static constexpr float kAmbientC = 22.0F;
    static constexpr float kMinColumnC = 4.0F;
    static constexpr float kMaxColumnC = 90.0F;
    static constexpr float kMinSampleC = 4.0F;
    static constexpr float kMaxSampleC = 40.0F;

    CThermostat();

    bool SetColumnSetPoint(float celsius);
    bool SetSampleSetPoint(float celsius);
    // Without the sample heating/cooling option the sample sits at ambient.
    void SetSampleControlFitted(bool fitted) { m_sampleFitted = fitted; }

    void Advance(std::int64_t dtMs);
    // After a power cycle both blocks start from ambient.
    void ColdStart();

    float ColumnSetPoint() const { return m_columnSet; }
    float ColumnActual() const { return m_columnActual; }
    float SampleSetPoint() const { return m_sampleFitted ? m_sampleSet : kAmbientC; }
    float SampleActual() const { return m_sampleActual; }
    // The cooler runs while it holds the sample below ambient: its hours are counted.
    bool Cooling() const { return m_sampleFitted && m_sampleSet < kAmbientC; }

private:
    float m_columnSet = 30.0F;
    float m_columnActual = 30.0F;
    float m_sampleSet = 8.0F;
    float m_sampleActual = 8.0F;
    bool m_sampleFitted = true;
};
