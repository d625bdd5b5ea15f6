#include "simulated_server.h"

#include "out_pointers.h"
#include "record_memory.h"

#include <algorithm>
#include <array>

HRESULT CSimulatedInstrumentServer::SetPlateConfiguration(std::int32_t nPlates,
                                                          const PlateConfiguration* pPlates) {
    if (nPlates < 0 || (nPlates > 0 && pPlates == nullptr)) {
        return E_INVALIDARG;
    }
    ORVIX_ENTER(Firmware)
    for (std::int32_t i = 0; i < nPlates; ++i) {
        if (pPlates[i].nColumns < 1 || pPlates[i].nRows < 1) {
            return E_INVALIDARG;
        }
    }
    return S_OK;
}

HRESULT CSimulatedInstrumentServer::PerformInjection(std::int32_t, const InjectionSpec* pFirst,
                                                     const InjectionSpec* pSecond) {
    if (!AllSet(pFirst, pSecond)) {
        return E_POINTER;
    }
    ORVIX_ENTER(Firmware)
    if (const HRESULT hr = m_instrument.RequireIdle(); FAILED(hr)) {
        return hr;
    }
    return m_instrument.AutoSampler().PerformInjection();
}

HRESULT CSimulatedInstrumentServer::PerformTrigger() {
    ORVIX_ENTER(Firmware)
    return m_instrument.AutoSampler().Trigger();
}

HRESULT CSimulatedInstrumentServer::ReadAllData(DataBlockList** ppList) {
    if (ppList == nullptr) {
        return E_POINTER;
    }
    ORVIX_ENTER(Firmware)
    const std::vector<std::int32_t> samples = m_instrument.Detector().TakeSamples();
    DataBlockList list{0, nullptr};
    if (!samples.empty()) {
        DataBlock block{1, static_cast<std::int32_t>(samples.size()),
                        TaskAllocRecords(samples.data(), samples.size())};
        list.pBlocks = block.pValues == nullptr ? nullptr : TaskAllocRecord(block);
        if (list.pBlocks == nullptr) {
            CoTaskMemFree(block.pValues);
            return E_OUTOFMEMORY;
        }
        list.nBlocks = 1;
    }
    *ppList = TaskAllocRecord(list);
    if (*ppList == nullptr) {
        if (list.pBlocks != nullptr) {
            CoTaskMemFree(list.pBlocks->pValues);
            CoTaskMemFree(list.pBlocks);
        }
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT CSimulatedInstrumentServer::ExchangeSamplePlate() {
    ORVIX_ENTER(Firmware)
    return m_instrument.AutoSampler().ExchangeSamplePlate();
}

HRESULT CSimulatedInstrumentServer::MoveLift(std::int32_t nArg) {
    ORVIX_ENTER(Firmware)
    return m_instrument.AutoSampler().MoveLift(nArg);
}

HRESULT CSimulatedInstrumentServer::PositionSamplePlate(std::int32_t nExchange) {
    ORVIX_ENTER(Firmware)
    return m_instrument.AutoSampler().PositionSamplePlate(nExchange);
}

HRESULT CSimulatedInstrumentServer::SelectPlateRow(std::int32_t nRow) {
    ORVIX_ENTER(Firmware)
    return m_instrument.AutoSampler().SelectPlateRow(nRow);
}

HRESULT CSimulatedInstrumentServer::SelectPlateColumn(std::int32_t nColumn) {
    ORVIX_ENTER(Firmware)
    return m_instrument.AutoSampler().SelectPlateColumn(nColumn);
}

HRESULT CSimulatedInstrumentServer::SendAutoSamplerCommand(BSTR bstrCommand,
                                                           std::int32_t* pnReply) {
    ORVIX_ENTER(Firmware)
    return m_instrument.AutoSampler().SendCommand(BstrView(bstrCommand), pnReply);
}

HRESULT CSimulatedInstrumentServer::MoveSampleSyringe(std::int32_t nFill) {
    ORVIX_ENTER(Firmware)
    return m_instrument.AutoSampler().MoveSampleSyringe(nFill);
}

HRESULT CSimulatedInstrumentServer::WashSampleSyringe() {
    ORVIX_ENTER(Firmware)
    return m_instrument.AutoSampler().WashSampleSyringe();
}

HRESULT CSimulatedInstrumentServer::StepPlateFeeder(std::int32_t nFeeder, std::int32_t nNext) {
    ORVIX_ENTER(Firmware)
    return m_instrument.AutoSampler().StepPlateFeeder(nFeeder, nNext);
}

HRESULT CSimulatedInstrumentServer::ReadEventIO(std::int32_t* pnManualInject,
                                                std::int32_t* pnStopFlow, std::int32_t* pnEvent1,
                                                std::int32_t* pnEvent2, std::int32_t* pnInjectEvent,
                                                std::int32_t* pnSwitch1, std::int32_t* pnSwitch2,
                                                std::int32_t* pnDiverter) {
    std::int32_t* outs[] = {pnManualInject, pnStopFlow, pnEvent1,  pnEvent2,
                            pnInjectEvent,  pnSwitch1,  pnSwitch2, pnDiverter};
    if (std::find(std::begin(outs), std::end(outs), nullptr) != std::end(outs)) {
        return E_POINTER;
    }
    ORVIX_ENTER(Firmware)
    const std::array<std::int32_t, 8> lines = m_instrument.AutoSampler().EventLines();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        *outs[i] = lines[i];
    }
    return S_OK;
}

HRESULT CSimulatedInstrumentServer::ReadAutoSamplerSensors(AutoSamplerSensorRecord** ppSensors) {
    if (ppSensors == nullptr) {
        return E_POINTER;
    }
    ORVIX_ENTER(Firmware)
    const AutoSamplerSensorRecord record = m_instrument.AutoSampler().Sensors(
        m_instrument.Pumps().VentOpen(), m_instrument.Pumps().VentMoving());
    *ppSensors = TaskAllocRecord(record);
    return *ppSensors == nullptr ? E_OUTOFMEMORY : S_OK;
}

HRESULT CSimulatedInstrumentServer::SetAutoSamplerMonitor(std::int32_t nMonitor) {
    ORVIX_ENTER(Firmware)
    return m_instrument.AutoSampler().SetMonitor(nMonitor);
}

HRESULT CSimulatedInstrumentServer::MoveSampleSyringeValve(std::int32_t nPosition) {
    ORVIX_ENTER(Firmware)
    return m_instrument.AutoSampler().MoveSampleSyringeValve(nPosition);
}

HRESULT CSimulatedInstrumentServer::MoveLeftUnit(std::int32_t nNext) {
    ORVIX_ENTER(Firmware)
    return m_instrument.AutoSampler().MoveLeftUnit(nNext);
}

HRESULT CSimulatedInstrumentServer::MoveRightUnit(std::int32_t nNext) {
    ORVIX_ENTER(Firmware)
    return m_instrument.AutoSampler().MoveRightUnit(nNext);
}

HRESULT CSimulatedInstrumentServer::MoveCenterUnit(std::int32_t nPosition) {
    ORVIX_ENTER(Firmware)
    return m_instrument.AutoSampler().MoveCenterUnit(nPosition);
}

HRESULT CSimulatedInstrumentServer::LiftCenterUnit(std::int32_t nDown) {
    ORVIX_ENTER(Firmware)
    return m_instrument.AutoSampler().LiftCenterUnit(nDown);
}

HRESULT CSimulatedInstrumentServer::SetAirCompressor(std::int32_t nOn) {
    ORVIX_ENTER(Firmware)
    return m_instrument.AutoSampler().SetAirCompressor(nOn);
}

HRESULT CSimulatedInstrumentServer::MoveNeedleUnit(std::int32_t nDown) {
    ORVIX_ENTER(Firmware)
    return m_instrument.AutoSampler().MoveNeedleUnit(nDown);
}

HRESULT CSimulatedInstrumentServer::MoveSampleNeedle(std::int32_t nDown) {
    ORVIX_ENTER(Firmware)
    return m_instrument.AutoSampler().MoveSampleNeedle(nDown);
}

HRESULT CSimulatedInstrumentServer::SetPlateType(std::int32_t nPlateCode) {
    ORVIX_ENTER(Firmware)
    return m_instrument.AutoSampler().SetPlateType(nPlateCode);
}
