#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// Records exchanged with the instrument server. In memory they are plain structs with the fields
// in wire order; pointers are 8 bytes here, so the byte offsets in the comments hold for the wire
// form (record_codec.h), which is little-endian with 4-byte pointer fields sent as zero.

struct InstrumentStatus {
    std::int32_t nState;                     // 0
    char* pszStatusMessage;                  // 4, task-allocator block or null
    std::int32_t bErrorsPending;             // 8
    std::array<std::uint32_t, 4> reserved12; // 12
    std::int32_t nInjectValve;               // 28: 1 inject, 2 load
    std::int32_t nReservoir;                 // 32: pump A solvent 1..3
    std::int32_t nStreamValve;               // 36: 1 or 2
    std::uint32_t reserved40;                // 40
    std::int32_t nVentValve;                 // 44: nonzero vent, 0 system
    float fFlowRate;                         // 48, uL/min
    float fPercentA;                         // 52
    float fPercentB;                         // 56
    float fPercentC;                         // 60
    std::array<std::uint32_t, 4> reserved64; // 64
    float fPressure;                         // 80, PSI
    float fAuxFlowRate;                      // 84, uL/min
    float fAuxPressure;                      // 88, PSI
    float fColumnTempSet;                    // 92, degC
    float fColumnTempActual;                 // 96
    float fSampleTempSet;                    // 100
    float fSampleTempActual;                 // 104
};

struct InstrumentConfiguration {
    float fSampleLoopVolume;         // 0, uL
    std::int32_t nSyringeSize;       // 4, uL
    float fReserved8;                // 8: the client sends 999.0
    char* pszSerialNumber;           // 12, task-allocator block or null on reading
    float fNeedleVolume;             // 16, uL
    std::int32_t bPumpCInstalled;    // 20
    std::int32_t bSampleTemp;        // 24
    std::int32_t bTernaryGradient;   // 28: pump C in the gradient (1) or post-column (0)
    std::int32_t bManualInjectValve; // 32
    std::int32_t bPlateFeeder;       // 36
    std::int32_t nReserved40;        // 40: the client sends 0
    std::int32_t nReserved44;        // 44: the client sends 1
};

// ReadAllErrors hands out a list whose first word points at the first error text. The block
// stays with whoever produced it: the client reads the first text and frees nothing.
struct ErrorList {
    char* pszFirstError; // 0
};

// No pointers, so memory and wire layouts are the same.
struct SyringeDataRecord {
    std::array<std::uint8_t, 24> reserved0;   // 0
    std::array<std::int16_t, 6> anPressure;   // 24
    std::array<std::int16_t, 6> anState;      // 36
    std::array<std::int16_t, 6> anValveState; // 48
    std::array<std::int32_t, 6> anPosition;   // 60
};
static_assert(sizeof(SyringeDataRecord) == 84);
static_assert(offsetof(SyringeDataRecord, anPressure) == 24);
static_assert(offsetof(SyringeDataRecord, anState) == 36);
static_assert(offsetof(SyringeDataRecord, anValveState) == 48);
static_assert(offsetof(SyringeDataRecord, anPosition) == 60);

constexpr std::int32_t kSyringeDataRecordCode = 19;

struct TransferDataBlock {
    std::uint32_t cbData; // 0
    std::uint8_t* pData;  // 4
};

// One of the 19 autosampler sensors per field; nonzero means the sensor is set.
struct AutoSamplerSensorRecord {
    std::array<std::int32_t, 19> anSensor;
};
static_assert(sizeof(AutoSamplerSensorRecord) == 76);

struct SeparationMethodStep {
    float fTime;      // 0
    std::int32_t n4;  // 4
    std::int32_t n8;  // 8
    std::int32_t n12; // 12
};
static_assert(sizeof(SeparationMethodStep) == 16);

// Entries of a separation method's first two lists. The client always sends those lists empty;
// the instrument's entries are opaque 16-byte items without pointers.
struct SeparationMethodEntry {
    std::array<std::uint32_t, 4> words;
};
static_assert(sizeof(SeparationMethodEntry) == 16);

struct SeparationMethod {
    char* pszMethodName;           // 0
    float f4;                      // 4
    std::int32_t n8;               // 8
    std::int32_t n12;              // 12
    float f16;                     // 16
    std::uint32_t u20;             // 20
    std::int32_t nList1Count;      // 24
    SeparationMethodEntry* pList1; // 28
    float f32;                     // 32
    float f36;                     // 36
    std::uint32_t u40;             // 40
    std::uint32_t u44;             // 44
    char* pszSolventA;             // 48
    char* pszSolventB;             // 52
    char* pszSolventC;             // 56
    std::uint32_t u60;             // 60
    float f64;                     // 64
    std::uint32_t u68;             // 68
    std::int32_t nList2Count;      // 72
    SeparationMethodEntry* pList2; // 76
    float fSampleTempSetPoint;     // 80
    float f84;                     // 84
    float f88;                     // 88
    std::int32_t n92;              // 92
    std::int32_t n96;              // 96
    float f100;                    // 100
    std::uint32_t u104;            // 104
    std::uint32_t u108;            // 108
    std::uint32_t u112;            // 112
    std::int32_t n116;             // 116
    std::int32_t n120;             // 120
    std::int32_t n124;             // 124
    float fColumnTempSetPoint;     // 128
    float f132;                    // 132
    char* pszColumnName;           // 136
    float f140;                    // 140
    std::uint32_t u144;            // 144
    std::uint32_t u148;            // 148
    std::int32_t n152;             // 152
    std::int32_t n156;             // 156
    std::uint32_t u160;            // 160
    std::uint32_t u164;            // 164
    std::uint32_t u168;            // 168
    std::int32_t nStepCount;       // 172
    SeparationMethodStep* pSteps;  // 176
    float f180;                    // 180
    std::int32_t n184;             // 184
    std::int32_t n188;             // 188
    float f192;                    // 192
    std::uint32_t u196;            // 196
    std::uint32_t u200;            // 200
};

// No pointers: memory and wire layouts are the same.
struct PlateConfiguration {
    std::int32_t nColumns;                   // 0
    std::int32_t nRows;                      // 4
    float f8;                                // 8
    float f12;                               // 12
    float f16;                               // 16
    float f20;                               // 20
    std::array<std::uint32_t, 4> reserved24; // 24
    std::int32_t n40;                        // 40
    float f44;                               // 44
    float f48;                               // 48
    float f52;                               // 52
};
static_assert(sizeof(PlateConfiguration) == 56);

struct InjectionSpecEntry {
    float f0;      // 0
    char* pszText; // 4
};

struct InjectionSpec {
    std::int32_t nEntries;        // 0
    float f4;                     // 4
    InjectionSpecEntry* pEntries; // 8
    std::int32_t n12;             // 12
};

struct DataBlock {
    std::int32_t nTag;     // 0, not read by the client
    std::int32_t nValues;  // 4
    std::int32_t* pValues; // 8
};

struct DataBlockList {
    std::int32_t nBlocks; // 0
    DataBlock* pBlocks;   // 4
};
