#pragma once

#include "non_volatile_memory.h"
#include "record_memory.h"
#include "simulated_server.h"

#include <gtest/gtest.h>

#include <string>

// A simulated instrument on a manual clock, called directly, its memory kept in memory only.
class DirectSimulatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_server = CSimulatedInstrumentServer::Create(m_clock, m_memory, m_silkFolder);
    }
    void TearDown() override { m_server->Release(); }

    void Step(std::int64_t ms) { m_clock.Step(ms); }

    InstrumentStatus Status() {
        InstrumentStatus* pStatus = nullptr;
        EXPECT_EQ(m_server->ReadStatus(&pStatus), S_OK);
        InstrumentStatus copy = pStatus ? *pStatus : InstrumentStatus{};
        m_lastMessage = pStatus && pStatus->pszStatusMessage ? pStatus->pszStatusMessage : "";
        copy.pszStatusMessage = nullptr;
        ReleaseInstrumentStatus(pStatus);
        return copy;
    }

    // Enables the fetch first, as the client's pages do.
    SyringeDataRecord SyringeData() {
        EXPECT_EQ(m_server->EnableSyringeData(1), S_OK);
        TransferDataBlock* pOut = nullptr;
        EXPECT_EQ(m_server->ReadSyringeData(kSyringeDataRecordCode, 0, 0, nullptr, &pOut), S_OK);
        SyringeDataRecord record{};
        if (pOut != nullptr && pOut->cbData == sizeof record) {
            std::memcpy(&record, pOut->pData, sizeof record);
        }
        ReleaseTransferBlock(pOut);
        return record;
    }

    std::string FirstError() {
        std::int32_t count = 0;
        ErrorList* pList = nullptr;
        EXPECT_EQ(m_server->ReadAllErrors(1, &count, &pList), S_OK);
        return pList && pList->pszFirstError ? pList->pszFirstError : "(null)";
    }

    CSimClock m_clock{CSimClock::Mode::Manual};
    CNonVolatileMemory m_memory;
    std::string m_silkFolder;
    CSimulatedInstrumentServer* m_server = nullptr;
    std::string m_lastMessage;
};
