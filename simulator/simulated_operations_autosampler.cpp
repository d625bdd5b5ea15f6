#include "simulated_operations.h"

#include "out_pointers.h"
#include "record_memory.h"

#include <algorithm>
#include <array>

HRESULT CSimulatedOperations::SetPlateConfiguration(std::int32_t nPlates,
                                                    const PlateConfiguration* pPlates) {
    if (nPlates < 0 || (nPlates > 0 && pPlates == nullptr)) {
        return E_INVALIDARG;
    }
    for (std::int32_t i = 0; i < nPlates; ++i) {
        if (pPlates[i].nColumns < 1 || pPlates[i].nRows < 1) {
            return E_INVALIDARG;
        }
    }
    return S_OK;
}

HRESULT CSimulatedOperations::PerformInjection(std::int32_t, const InjectionSpec* pFirst,
                                               const InjectionSpec* pSecond) {
    if (!AllSet(pFirst, pSecond)) {
        return E_POINTER;
    }
    if (const HRESULT hr = m_instrument.RequireIdle(); FAILED(hr)) {
        return hr;
    }
    return m_instrument.AutoSampler().PerformInjection();
}

HRESULT CSimulatedOperations::PerformTrigger() {
    return m_instrument.AutoSampler().Trigger();
}

HRESULT CSimulatedOperations::ReadAllData(DataBlockList** ppList) {
    if (ppList == nullptr) {
        return E_POINTER;
    }
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

HRESULT CSimulatedOperations::ExchangeSamplePlate() {
    return m_instrument.AutoSampler().ExchangeSamplePlate();
}

HRESULT CSimulatedOperations::MoveLift(std::int32_t nArg) {
    return m_instrument.AutoSampler().MoveLift(nArg);
}

HRESULT CSimulatedOperations::PositionSamplePlate(std::int32_t nExchange) {
    return m_instrument.AutoSampler().PositionSamplePlate(nExchange);
}

HRESULT CSimulatedOperations::SelectPlateRow(std::int32_t nRow) {
    return m_instrument.AutoSampler().SelectPlateRow(nRow);
}

HRESULT CSimulatedOperations::SelectPlateColumn(std::int32_t nColumn) {
    return m_instrument.AutoSampler().SelectPlateColumn(nColumn);
}

HRESULT CSimulatedOperations::SendAutoSamplerCommand(BSTR bstrCommand, std::int32_t* pnReply) {
    return m_instrument.AutoSampler().SendCommand(BstrView(bstrCommand), pnReply);
}

HRESULT CSimulatedOperations::MoveSampleSyringe(std::int32_t nFill) {
    return m_instrument.AutoSampler().MoveSampleSyringe(nFill);
}

HRESULT CSimulatedOperations::WashSampleSyringe() {
    return m_instrument.AutoSampler().WashSampleSyringe();
}

HRESULT CSimulatedOperations::StepPlateFeeder(std::int32_t nFeeder, std::int32_t nNext) {
    return m_instrument.AutoSampler().StepPlateFeeder(nFeeder, nNext);
}

HRESULT CSimulatedOperations::ReadEventIO(std::int32_t* pnManualInject, std::int32_t* pnStopFlow,
                                          std::int32_t* pnEvent1, std::int32_t* pnEvent2,
                                          std::int32_t* pnInjectEvent, std::int32_t* pnSwitch1,
                                          std::int32_t* pnSwitch2, std::int32_t* pnDiverter) {
    std::int32_t* outs[] = {pnManualInject, pnStopFlow, pnEvent1,  pnEvent2,
                            pnInjectEvent,  pnSwitch1,  pnSwitch2, pnDiverter};
    if (std::find(std::begin(outs), std::end(outs), nullptr) != std::end(outs)) {
        return E_POINTER;
    }
    const std::array<std::int32_t, 8> lines = m_instrument.AutoSampler().EventLines();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        *outs[i] = lines[i];
    }
    return S_OK;
}

HRESULT CSimulatedOperations::ReadAutoSamplerSensors(AutoSamplerSensorRecord** ppSensors) {
    if (ppSensors == nullptr) {
        return E_POINTER;
    }
    const AutoSamplerSensorRecord record = m_instrument.AutoSampler().Sensors(
        m_instrument.Pumps().VentOpen(), m_instrument.Pumps().VentMoving());
    *ppSensors = TaskAllocRecord(record);
    return *ppSensors == nullptr ? E_OUTOFMEMORY : S_OK;
}

HRESULT CSimulatedOperations::SetAutoSamplerMonitor(std::int32_t nMonitor) {
    return m_instrument.AutoSampler().SetMonitor(nMonitor);
}

HRESULT CSimulatedOperations::MoveSampleSyringeValve(std::int32_t nPosition) {
    return m_instrument.AutoSampler().MoveSampleSyringeValve(nPosition);
}

HRESULT CSimulatedOperations::MoveLeftUnit(std::int32_t nNext) {
    return m_instrument.AutoSampler().MoveLeftUnit(nNext);
}

HRESULT CSimulatedOperations::MoveRightUnit(std::int32_t nNext) {
    return m_instrument.AutoSampler().MoveRightUnit(nNext);
}

HRESULT CSimulatedOperations::MoveCenterUnit(std::int32_t nPosition) {
    return m_instrument.AutoSampler().MoveCenterUnit(nPosition);
}

HRESULT CSimulatedOperations::LiftCenterUnit(std::int32_t nDown) {
    return m_instrument.AutoSampler().LiftCenterUnit(nDown);
}

HRESULT CSimulatedOperations::SetAirCompressor(std::int32_t nOn) {
    return m_instrument.AutoSampler().SetAirCompressor(nOn);
}

HRESULT CSimulatedOperations::MoveNeedleUnit(std::int32_t nDown) {
    return m_instrument.AutoSampler().MoveNeedleUnit(nDown);
}

HRESULT CSimulatedOperations::MoveSampleNeedle(std::int32_t nDown) {
    return m_instrument.AutoSampler().MoveSampleNeedle(nDown);
}

HRESULT CSimulatedOperations::SetPlateType(std::int32_t nPlateCode) {
    return m_instrument.AutoSampler().SetPlateType(nPlateCode);
}
