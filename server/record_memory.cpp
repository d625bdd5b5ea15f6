#include "record_memory.h"

char* TaskAllocText(std::string_view text) {
    auto* block = static_cast<char*>(CoTaskMemAlloc(text.size() + 1));
    if (block != nullptr) {
        std::memcpy(block, text.data(), text.size());
        block[text.size()] = '\0';
    }
    return block;
}

void ReleaseInstrumentStatus(InstrumentStatus* pStatus) {
    if (pStatus == nullptr) {
        return;
    }
    CoTaskMemFree(pStatus->pszStatusMessage);
    CoTaskMemFree(pStatus);
}

void ReleaseInstrumentConfiguration(InstrumentConfiguration* pConfiguration) {
    if (pConfiguration == nullptr) {
        return;
    }
    CoTaskMemFree(pConfiguration->pszSerialNumber);
    CoTaskMemFree(pConfiguration);
}

void ReleaseTransferBlock(TransferDataBlock* pBlock) {
    if (pBlock == nullptr) {
        return;
    }
    CoTaskMemFree(pBlock->pData);
    CoTaskMemFree(pBlock);
}

void ReleaseSeparationMethod(SeparationMethod* pMethod) {
    if (pMethod == nullptr) {
        return;
    }
    // A list whose count is 0 but whose pointer is set is freed too: skipping it would leak it.
    CoTaskMemFree(pMethod->pszMethodName);
    CoTaskMemFree(pMethod->pList1);
    CoTaskMemFree(pMethod->pszSolventA);
    CoTaskMemFree(pMethod->pszSolventB);
    CoTaskMemFree(pMethod->pszSolventC);
    CoTaskMemFree(pMethod->pList2);
    CoTaskMemFree(pMethod->pszColumnName);
    CoTaskMemFree(pMethod->pSteps);
    CoTaskMemFree(pMethod);
}

void ReleaseDataBlockList(DataBlockList* pList) {
    if (pList == nullptr) {
        return;
    }
    if (pList->pBlocks != nullptr) {
        for (std::int32_t i = 0; i < pList->nBlocks; ++i) {
            CoTaskMemFree(pList->pBlocks[i].pValues);
        }
        CoTaskMemFree(pList->pBlocks);
    }
    CoTaskMemFree(pList);
}

void ReleaseAutoSamplerSensors(AutoSamplerSensorRecord* pSensors) {
    CoTaskMemFree(pSensors);
}

void ReleaseErrorList(ErrorList* pList) {
    if (pList == nullptr) {
        return;
    }
    CoTaskMemFree(pList->pszFirstError);
    CoTaskMemFree(pList);
}
