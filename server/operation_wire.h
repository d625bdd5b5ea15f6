#pragma once

// Each operation's two sides on the bus: Forward, the proxy's (puts the in-values, checks the
// reply, hands the out-values to the caller) and Dispatch, the stub's (takes the in-values,
// calls the implementation, replies and releases the blocks it handed out). Most operations
// are marshalled parameter by parameter through ParamWire; the few whose arrays pair with
// another argument have their own specialisation below.

#include "instrument_operations.h"
#include "instrument_wire.h"

#include <QDBusMessage>

#include <string>
#include <tuple>

// What an operation's proxy side uses of the proxy.
class CProxyLink {
public:
    virtual QDBusMessage Call(const char* name, const QVariantList& args) = 0;
    // The reply's result code, or the failure of a reply without the operation's signature.
    virtual HRESULT CheckReply(const QDBusMessage& reply, const std::string& outSignature) = 0;
    virtual HRESULT BadReply() = 0;
    // Error lists are never released by their callers: the proxy keeps the last one it handed
    // out until the next one comes or the proxy goes.
    virtual ErrorList* KeepErrorList(ErrorList* list) = 0;

protected:
    ~CProxyLink() = default;
};

template <class Op> std::string InSignatureOf() {
    return std::apply([](auto... p) { return InSignature<decltype(p)...>(); }, ArgsOf<Op>{});
}

// The signature of an operation's successful reply; a failure answers its result code alone.
template <class Op> const std::string& ReplySignatureOf() {
    static const std::string kSignature =
        std::apply([](auto... p) { return OutSignature<decltype(p)...>(); }, ArgsOf<Op>{});
    return kSignature;
}

QDBusMessage BadArguments(const QDBusMessage& call);

namespace detail {

// What the stub keeps for one parameter during a call: the decoded in-value, or the slot the
// implementation fills.
template <class P, bool = ParamWire<P>::kOut> struct StubStorage {
    using type = typename ParamWire<P>::Holder;
};
template <class P> struct StubStorage<P, true> { using type = typename ParamWire<P>::Slot; };

template <class P> bool TakeIn(ArgCursor& in, typename StubStorage<P>::type& storage) {
    if constexpr (ParamWire<P>::kOut) {
        return true;
    } else {
        return ParamWire<P>::Take(in, storage);
    }
}

template <class P> P Pass(typename StubStorage<P>::type& storage) {
    if constexpr (ParamWire<P>::kOut) {
        return ParamWire<P>::Lend(storage);
    } else {
        return ParamWire<P>::Use(storage);
    }
}

template <class Op, class Args = ArgsOf<Op>> struct GenericWire;

template <class Op, class... P> struct GenericWire<Op, std::tuple<P...>> {
    static_assert(Op::kBusArgs.size() == sizeof...(P), "one bus argument per parameter");

    static HRESULT Forward(CProxyLink& link, P... args) {
        QVariantList in;
        if (!(ParamWire<P>::Put(in, args) && ...)) {
            return E_POINTER;
        }
        const QDBusMessage reply = link.Call(Op::kName, in);
        const HRESULT hr = link.CheckReply(reply, ReplySignatureOf<Op>());
        if (FAILED(hr)) {
            return hr;
        }
        // Everything is checked before anything is allocated, so a bad reply leaves no block.
        ArgCursor cursor(reply.arguments(), 1);
        std::tuple<typename ParamWire<P>::Parsed...> parsed;
        const bool ok = std::apply(
            [&](auto&... values) { return (ParamWire<P>::Parse(cursor, values) && ...); }, parsed);
        if (!ok) {
            return link.BadReply();
        }
        std::apply(
            [&](auto&... values) {
                (
                    [&] {
                        if constexpr (ParamWire<P>::kOut) {
                            ParamWire<P>::Deliver(values, args);
                        }
                    }(),
                    ...);
            },
            parsed);
        return hr;
    }

    static QDBusMessage Dispatch(IInstrumentServer& target, const QDBusMessage& call) {
        ArgCursor in(call.arguments());
        std::tuple<typename StubStorage<P>::type...> storage;
        const bool ok =
            std::apply([&](auto&... values) { return (TakeIn<P>(in, values) && ...); }, storage);
        if (!ok) {
            return BadArguments(call);
        }
        const HRESULT hr = std::apply(
            [&](auto&... values) { return (target.*Op::kMember)(Pass<P>(values)...); }, storage);
        QVariantList reply{QVariant(hr)};
        if (SUCCEEDED(hr)) {
            std::apply(
                [&](auto&... values) {
                    (
                        [&] {
                            if constexpr (ParamWire<P>::kOut) {
                                ParamWire<P>::Reply(reply, values);
                                ParamWire<P>::Release(values);
                            }
                        }(),
                        ...);
                },
                storage);
        }
        return call.createReply(reply);
    }
};

} // namespace detail

template <class Op> struct OperationWire : detail::GenericWire<Op> {};

template <> struct OperationWire<op::SetPlateConfiguration> {
    static HRESULT Forward(CProxyLink& link, std::int32_t nPlates,
                           const PlateConfiguration* pPlates);
    static QDBusMessage Dispatch(IInstrumentServer& target, const QDBusMessage& call);
};

template <> struct OperationWire<op::GetSyringeUsage> {
    static HRESULT Forward(CProxyLink& link, std::int32_t nCount1, std::uint16_t* pUsage1,
                           std::int32_t nCount2, std::uint16_t* pUsage2);
    static QDBusMessage Dispatch(IInstrumentServer& target, const QDBusMessage& call);
};

// The transfer block answered is as long as the one sent.
template <> struct OperationWire<op::ReadSyringeData> {
    static HRESULT Forward(CProxyLink& link, std::int32_t nRecordCode, std::int32_t nArg2,
                           std::int32_t nArg3, const TransferDataBlock* pIn,
                           TransferDataBlock** ppOut);
    static QDBusMessage Dispatch(IInstrumentServer& target, const QDBusMessage& call);
};

// The stub sends the list's first text and frees nothing; the proxy keeps the list it builds.
template <> struct OperationWire<op::ReadAllErrors> : detail::GenericWire<op::ReadAllErrors> {
    static HRESULT Forward(CProxyLink& link, std::int32_t nArg, std::int32_t* pnErrors,
                           ErrorList** ppList);
};
