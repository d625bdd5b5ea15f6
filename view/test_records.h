#pragma once

#include "records.h"

#include <array>
#include <string>

// The fixed records that the Test commands send. Each owns the texts and lists its record
// points to, so it lives on the sending handler's stack for the length of the call; none can be
// copied, since the record would point into the original.

struct CTestSeparationMethod {
    CTestSeparationMethod();
    CTestSeparationMethod(const CTestSeparationMethod&) = delete;
    CTestSeparationMethod& operator=(const CTestSeparationMethod&) = delete;

    SeparationMethod record{};

private:
    static constexpr std::size_t kStepCount = 3;

    std::string m_name{"Client Test Method"};
    std::string m_solventA{"A Solvent"};
    std::string m_solventB{"B Solvent"};
    std::string m_solventC{"C Solvent"};
    std::string m_column{"Column"};
    std::array<SeparationMethodStep, kStepCount> m_steps{};
};

struct CTestInjectionSpec {
    CTestInjectionSpec();
    CTestInjectionSpec(const CTestInjectionSpec&) = delete;
    CTestInjectionSpec& operator=(const CTestInjectionSpec&) = delete;

    InjectionSpec record{};

private:
    std::string m_text{"2"};
    InjectionSpecEntry m_entry{};
};

struct CTestInstrumentConfiguration {
    CTestInstrumentConfiguration();
    CTestInstrumentConfiguration(const CTestInstrumentConfiguration&) = delete;
    CTestInstrumentConfiguration& operator=(const CTestInstrumentConfiguration&) = delete;

    InstrumentConfiguration record{};

private:
    std::string m_serialNumber{"None"};
};

// A 96-position plate: 12 columns, 8 rows.
PlateConfiguration TestPlateConfiguration();
