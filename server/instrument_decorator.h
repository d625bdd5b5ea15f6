#pragma once

#include "instrument_operations.h"
#include "server_object.h"

#include <functional>
#include <type_traits>

// One call on its way through a decorator: its row, its arguments, and how to make it on a
// server.
class COperationCall {
public:
    using Replay = std::function<HRESULT(IInstrumentServer&)>;

    template <class Op> static COperationCall Of(const ArgsOf<Op>& args) {
        COperationCall call(OperationAt(Op::kSlot), &args, &Invoke<Op>);
        if constexpr (Op::kKind == OperationKind::Session) {
            call.m_keep = &Keep<Op>;
        }
        return call;
    }

    const OperationInfo& Info() const { return m_info; }
    template <class Op> bool Is() const { return m_info.slot == Op::kSlot; }
    // The arguments of the operation this call is (Is<Op>() holds).
    template <class Op> const ArgsOf<Op>& Args() const {
        return *static_cast<const ArgsOf<Op>*>(m_args);
    }
    HRESULT On(IInstrumentServer& server) const { return m_invoke(server, m_args); }
    // A Session call with its arguments copied, to be made again on a new server.
    Replay Keep() const { return m_keep != nullptr ? m_keep(m_args) : Replay(); }

private:
    using Invoker = HRESULT (*)(IInstrumentServer&, const void*);
    using Keeper = Replay (*)(const void*);

    COperationCall(const OperationInfo& info, const void* args, Invoker invoke)
        : m_info(info), m_args(args), m_invoke(invoke) {}

    template <class Op> static HRESULT Invoke(IInstrumentServer& server, const void* args) {
        return std::apply([&](auto... values) { return (server.*Op::kMember)(values...); },
                          *static_cast<const ArgsOf<Op>*>(args));
    }
    template <class Op> static Replay Keep(const void* args) {
        static_assert(
            std::apply(
                [](auto... values) { return (std::is_arithmetic_v<decltype(values)> && ...); },
                ArgsOf<Op>{}),
            "a Session operation is made again later, so it takes values only");
        return [kept = *static_cast<const ArgsOf<Op>*>(args)](IInstrumentServer& server) {
            return Invoke<Op>(server, &kept);
        };
    }

    const OperationInfo& m_info;
    const void* m_args;
    Invoker m_invoke;
    Keeper m_keep = nullptr;
};

// An IInstrumentServer that hands every call to another one, the target: the base of the
// servers that add something to the calls (the reconnecting forwarder, the history recorder,
// the simulator's gate). Each operation reaches Pass, which makes the call on the target; a
// call without a target fails as on a closed connection. Interfaces other than the server's
// own are asked of the target.
class CInstrumentServerDecorator : public CInstrumentServerObject {
public:
    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;

#define ORVIX_DECORATED_OPERATION(slot, name, kind, access, params, args, bus)                     \
    HRESULT name params final {                                                                    \
        const ArgsOf<op::name> values{ORVIX_EXPAND args};                                          \
        return Pass(COperationCall::Of<op::name>(values));                                         \
    }
#define ORVIX_SKIP_RESERVED(slot)
    ORVIX_INSTRUMENT_OPERATIONS(ORVIX_DECORATED_OPERATION, ORVIX_SKIP_RESERVED)
#undef ORVIX_DECORATED_OPERATION
#undef ORVIX_SKIP_RESERVED

    IInstrumentServer* Target() const {
        return m_pTarget;
    }

protected:
    // Reference count 1. Takes a reference of its own on target.
    explicit CInstrumentServerDecorator(IInstrumentServer* target);
    ~CInstrumentServerDecorator() override;

    // Puts target (a reference of its own) in place of the current one; either may be null.
    void Replace(IInstrumentServer* target);

    virtual HRESULT Pass(const COperationCall& call);
    HRESULT QueryTarget(REFIID riid, void** ppvObject);

private:
    IInstrumentServer* m_pTarget = nullptr;
};
