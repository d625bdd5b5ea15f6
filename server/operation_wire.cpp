#include "operation_wire.h"

#include "record_codec.h"
#include "record_memory.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Arrays that the client sizes are small; a count beyond this is an error, not an allocation.
constexpr std::int32_t kMaxUsageCount = 1024;

QByteArray BlockBytes(const TransferDataBlock* block) {
    return block == nullptr || block->pData == nullptr
               ? QByteArray()
               : QByteArray(reinterpret_cast<const char*>(block->pData),
                            static_cast<qsizetype>(block->cbData));
}

} // namespace

QDBusMessage BadArguments(const QDBusMessage& call) {
    return call.createErrorReply(QDBusError::InvalidArgs,
                                 QStringLiteral("Malformed arguments for %1").arg(call.member()));
}

HRESULT OperationWire<op::SetPlateConfiguration>::Forward(CProxyLink& link, std::int32_t nPlates,
                                                          const PlateConfiguration* pPlates) {
    if (nPlates < 0) {
        return E_INVALIDARG;
    }
    if (nPlates > 0 && pPlates == nullptr) {
        return E_POINTER;
    }
    QVariantList in{QVariant(nPlates)};
    in << QVariant(nPlates > 0 ? EncodeRecords(pPlates, static_cast<std::size_t>(nPlates))
                               : QByteArray());
    return link.CheckReply(link.Call(op::SetPlateConfiguration::kName, in),
                           ReplySignatureOf<op::SetPlateConfiguration>());
}

QDBusMessage OperationWire<op::SetPlateConfiguration>::Dispatch(IInstrumentServer& target,
                                                                const QDBusMessage& call) {
    ArgCursor in(call.arguments());
    const std::int32_t nPlates = in.Int();
    std::vector<PlateConfiguration> plates;
    if (!DecodeRecordList(in.Bytes(), nPlates, &plates)) {
        return BadArguments(call);
    }
    const HRESULT hr =
        target.SetPlateConfiguration(nPlates, plates.empty() ? nullptr : plates.data());
    return call.createReply(QVariantList{QVariant(hr)});
}

HRESULT OperationWire<op::GetSyringeUsage>::Forward(CProxyLink& link, std::int32_t nCount1,
                                                    std::uint16_t* pUsage1, std::int32_t nCount2,
                                                    std::uint16_t* pUsage2) {
    if (nCount1 < 0 || nCount2 < 0) {
        return E_INVALIDARG;
    }
    if ((nCount1 > 0 && pUsage1 == nullptr) || (nCount2 > 0 && pUsage2 == nullptr)) {
        return E_POINTER;
    }
    const QDBusMessage reply =
        link.Call(op::GetSyringeUsage::kName, QVariantList{QVariant(nCount1), QVariant(nCount2)});
    const HRESULT hr = link.CheckReply(reply, ReplySignatureOf<op::GetSyringeUsage>());
    if (FAILED(hr)) {
        return hr;
    }
    ArgCursor cursor(reply.arguments(), 1);
    const QList<quint16> usage1 = cursor.Words();
    const QList<quint16> usage2 = cursor.Words();
    if (usage1.size() != nCount1 || usage2.size() != nCount2) {
        return link.BadReply();
    }
    std::copy(usage1.begin(), usage1.end(), pUsage1);
    std::copy(usage2.begin(), usage2.end(), pUsage2);
    return hr;
}

QDBusMessage OperationWire<op::GetSyringeUsage>::Dispatch(IInstrumentServer& target,
                                                          const QDBusMessage& call) {
    ArgCursor in(call.arguments());
    const std::int32_t nCount1 = in.Int();
    const std::int32_t nCount2 = in.Int();
    if (nCount1 < 0 || nCount2 < 0 || nCount1 > kMaxUsageCount || nCount2 > kMaxUsageCount) {
        return BadArguments(call);
    }
    QList<quint16> usage1(nCount1, 0);
    QList<quint16> usage2(nCount2, 0);
    const HRESULT hr = target.GetSyringeUsage(nCount1, usage1.data(), nCount2, usage2.data());
    QVariantList reply{QVariant(hr)};
    if (SUCCEEDED(hr)) {
        reply << WireVariant(usage1) << WireVariant(usage2);
    }
    return call.createReply(reply);
}

HRESULT OperationWire<op::ReadSyringeData>::Forward(CProxyLink& link, std::int32_t nRecordCode,
                                                    std::int32_t nArg2, std::int32_t nArg3,
                                                    const TransferDataBlock* pIn,
                                                    TransferDataBlock** ppOut) {
    if (pIn == nullptr || ppOut == nullptr || (pIn->cbData > 0 && pIn->pData == nullptr)) {
        return E_POINTER;
    }
    const QDBusMessage reply = link.Call(op::ReadSyringeData::kName,
                                         QVariantList{QVariant(nRecordCode), QVariant(nArg2),
                                                      QVariant(nArg3), QVariant(BlockBytes(pIn))});
    const HRESULT hr = link.CheckReply(reply, ReplySignatureOf<op::ReadSyringeData>());
    if (FAILED(hr)) {
        return hr;
    }
    // The caller sized its block for the record it asks for and copies that many bytes back.
    ArgCursor cursor(reply.arguments(), 1);
    const QByteArray data = cursor.Bytes();
    if (static_cast<std::uint32_t>(data.size()) != pIn->cbData) {
        return link.BadReply();
    }
    auto* pData = static_cast<std::uint8_t*>(CoTaskMemAlloc(static_cast<std::size_t>(data.size())));
    std::memcpy(pData, data.constData(), static_cast<std::size_t>(data.size()));
    *ppOut = TaskAllocRecord(TransferDataBlock{static_cast<std::uint32_t>(data.size()), pData});
    return hr;
}

QDBusMessage OperationWire<op::ReadSyringeData>::Dispatch(IInstrumentServer& target,
                                                          const QDBusMessage& call) {
    ArgCursor in(call.arguments());
    const std::int32_t nRecordCode = in.Int();
    const std::int32_t nArg2 = in.Int();
    const std::int32_t nArg3 = in.Int();
    QByteArray data = in.Bytes();
    const TransferDataBlock input{static_cast<std::uint32_t>(data.size()),
                                  reinterpret_cast<std::uint8_t*>(data.data())};
    TransferDataBlock* pOut = nullptr;
    const HRESULT hr = target.ReadSyringeData(nRecordCode, nArg2, nArg3, &input, &pOut);
    QVariantList reply{QVariant(hr)};
    if (SUCCEEDED(hr)) {
        reply << QVariant(BlockBytes(pOut));
        ReleaseTransferBlock(pOut);
    }
    return call.createReply(reply);
}

HRESULT OperationWire<op::ReadAllErrors>::Forward(CProxyLink& link, std::int32_t nArg,
                                                  std::int32_t* pnErrors, ErrorList** ppList) {
    if (pnErrors == nullptr || ppList == nullptr) {
        return E_POINTER;
    }
    const QDBusMessage reply = link.Call(op::ReadAllErrors::kName, QVariantList{QVariant(nArg)});
    const HRESULT hr = link.CheckReply(reply, ReplySignatureOf<op::ReadAllErrors>());
    if (FAILED(hr)) {
        return hr;
    }
    ArgCursor cursor(reply.arguments(), 1);
    *pnErrors = cursor.Int();
    *ppList = link.KeepErrorList(TaskAllocRecord(ErrorList{TaskAllocWireText(cursor.Text())}));
    return hr;
}
