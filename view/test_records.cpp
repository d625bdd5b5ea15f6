#include "test_records.h"

// The values below are the fixed arguments of the Test menu; their meaning is the server's.

CTestSeparationMethod::CTestSeparationMethod() {
    SeparationMethod& m = record;
    m.pszMethodName = m_name.data();
    m.f4 = 9.9F;
    m.n8 = 1;
    m.n12 = 1;
    m.f16 = 5000.0F;
    m.f32 = 20.0F;
    m.f36 = 100.0F;
    m.pszSolventA = m_solventA.data();
    m.pszSolventB = m_solventB.data();
    m.pszSolventC = m_solventC.data();
    m.f64 = 3000.0F;
    m.fSampleTempSetPoint = 35.0F;
    m.f84 = 10.0F;
    m.f88 = 5.0F;
    m.n92 = 1;
    m.n96 = 3;
    m.f100 = 10.0F;
    m.n116 = 1;
    m.n120 = 2;
    m.n124 = 1;
    m.fColumnTempSetPoint = 35.0F;
    m.f132 = 10.0F;
    m.pszColumnName = m_column.data();
    m.f140 = 10.0F;
    m.n152 = 4;
    m.n156 = 2;
    // Step i (from 0): first field (i + 1) x 0.25, third field 2 for even i and 1 for odd i.
    for (std::size_t i = 0; i < kStepCount; ++i) {
        m_steps[i] = {static_cast<float>(i + 1) * 0.25F, 6, i % 2 == 1 ? 1 : 2, 0};
    }
    m.nStepCount = static_cast<std::int32_t>(kStepCount);
    m.pSteps = m_steps.data();
    m.f180 = 2.0F;
    m.n184 = 1;
    m.n188 = 1;
    m.f192 = 3.0F;
}

CTestInjectionSpec::CTestInjectionSpec() {
    m_entry = {0.2F, m_text.data()};
    record = {1, 1.5F, &m_entry, 0};
}

CTestInstrumentConfiguration::CTestInstrumentConfiguration() {
    record = {99.0F, 25, 999.0F, m_serialNumber.data(), 999.0F, 1, 1, 0, 0, 1, 0, 1};
}

PlateConfiguration TestPlateConfiguration() {
    return {12, 8, 9.0F, 9.0F, 8.0F, 8.0F, {}, 1, 15.0F, 1.0F, 2.1F};
}
