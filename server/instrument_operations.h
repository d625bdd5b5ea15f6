#pragma once

// The contract's rows in the forms that code written once for every operation walks: a type
// per operation (op::ChangeFlow) and a constant table of every slot.

#include "instrument_server.h"

#include <array>
#include <cstddef>
#include <span>
#include <string_view>
#include <tuple>

struct OperationInfo {
    int slot;
    const char* name; // null for a reserved slot
    OperationKind kind;
    OperationAccess access;
    std::span<const BusArg> busArgs;
};

namespace detail {
template <class... P> std::tuple<P...> ArgsTuple(HRESULT (IInstrumentServer::*)(P...));
template <class... A> constexpr std::array<BusArg, sizeof...(A)> BusArgs(A... args) {
    return {args...};
}
} // namespace detail

namespace op {
#define ORVIX_OPERATION_TYPE(slot, name, kind, access, params, args, bus)                          \
    struct name {                                                                                  \
        static constexpr int kSlot = slot;                                                         \
        static constexpr const char* kName = #name;                                                \
        static constexpr OperationKind kKind = OperationKind::kind;                                \
        static constexpr OperationAccess kAccess = OperationAccess::access;                        \
        static constexpr auto kBusArgs = detail::BusArgs bus;                                      \
        static constexpr auto kMember = &IInstrumentServer::name;                                  \
    };
#define ORVIX_NO_TYPE(slot)
ORVIX_INSTRUMENT_OPERATIONS(ORVIX_OPERATION_TYPE, ORVIX_NO_TYPE)
#undef ORVIX_OPERATION_TYPE
#undef ORVIX_NO_TYPE
} // namespace op

// An operation's arguments by value, in parameter order.
template <class Op> using ArgsOf = decltype(detail::ArgsTuple(Op::kMember));

constexpr int kFirstOperationSlot = 7;

// Every slot from the first operation's on, reserved ones included.
inline constexpr OperationInfo kInstrumentOperations[] = {
#define ORVIX_OPERATION_ROW(slot, name, kind, access, params, args, bus)                           \
    {op::name::kSlot, op::name::kName, op::name::kKind, op::name::kAccess, op::name::kBusArgs},
#define ORVIX_RESERVED_ROW(slot)                                                                   \
    {slot, nullptr, OperationKind::Reserved, OperationAccess::Server, {}},
    ORVIX_INSTRUMENT_OPERATIONS(ORVIX_OPERATION_ROW, ORVIX_RESERVED_ROW)
#undef ORVIX_OPERATION_ROW
#undef ORVIX_RESERVED_ROW
};

constexpr bool RowsFollowTheSlots() {
    for (std::size_t i = 0; i < std::size(kInstrumentOperations); ++i) {
        if (kInstrumentOperations[i].slot != kFirstOperationSlot + static_cast<int>(i)) {
            return false;
        }
    }
    return true;
}
static_assert(RowsFollowTheSlots(), "the contract's rows must be one per slot, in slot order");

constexpr const OperationInfo& OperationAt(int slot) {
    return kInstrumentOperations[static_cast<std::size_t>(slot - kFirstOperationSlot)];
}

// The named operation, or null.
const OperationInfo* FindOperation(std::string_view name);

// Calls f(op::Name{}) for every named operation, in slot order.
template <class F> void ForEachOperation(F&& f) {
#define ORVIX_VISIT_OPERATION(slot, name, kind, access, params, args, bus) f(op::name{});
#define ORVIX_SKIP_RESERVED(slot)
    ORVIX_INSTRUMENT_OPERATIONS(ORVIX_VISIT_OPERATION, ORVIX_SKIP_RESERVED)
#undef ORVIX_VISIT_OPERATION
#undef ORVIX_SKIP_RESERVED
}
