#pragma once

#include "records.h"

#include <string_view>

// Task-allocator copies, for whoever hands records out: the server's stub side, the proxy
// building its caller's blocks, test fakes.
char* TaskAllocText(std::string_view text);

template <class R> R* TaskAllocRecords(const R* source, std::size_t count);
template <class R> R* TaskAllocRecord(const R& source) {
    return TaskAllocRecords(&source, 1);
}

// One release per returned record: inner blocks first (each only if not null), then the record
// itself (only if not null), all with the task allocator.
void ReleaseInstrumentStatus(InstrumentStatus* pStatus);
void ReleaseInstrumentConfiguration(InstrumentConfiguration* pConfiguration);
void ReleaseTransferBlock(TransferDataBlock* pBlock);
void ReleaseSeparationMethod(SeparationMethod* pMethod);
void ReleaseDataBlockList(DataBlockList* pList);
void ReleaseAutoSamplerSensors(AutoSamplerSensorRecord* pSensors);
// Only for the producer of an error list: its callers never release it.
void ReleaseErrorList(ErrorList* pList);

#include "record_memory_impl.h"
