#pragma once

#include "owned_method.h"
#include "record_memory.h"
#include "server_object.h"

#include <QString>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

struct OwnedInjectionSpec {
    InjectionSpec record{};
    std::vector<InjectionSpecEntry> entries;
    std::vector<std::optional<std::string>> texts;
    static OwnedInjectionSpec CopyOf(const InjectionSpec& spec);
};

struct FakeDataBlock {
    std::int32_t tag = 0;
    std::vector<std::int32_t> values;
};

// A recording IInstrumentServer for tests: every call is logged with its in-arguments
// ("ChangeFlow(20, 33, 33, 33)"), answers the result programmed for its operation (S_OK unless
// told otherwise) and, on success, fills its out-values from the members below with blocks from
// the task allocator.
class CFakeInstrumentServer final : public CInstrumentServerObject {
public:
    // Reference count 1: the creator releases it.
    static CFakeInstrumentServer* Create() { return new CFakeInstrumentServer; }

#define ORVIX_FAKE_OPERATION(slot, name, kind, access, params, args, bus)                          \
    HRESULT name params override;
#define ORVIX_SKIP_RESERVED(slot)
    ORVIX_INSTRUMENT_OPERATIONS(ORVIX_FAKE_OPERATION, ORVIX_SKIP_RESERVED)
#undef ORVIX_FAKE_OPERATION
#undef ORVIX_SKIP_RESERVED

    // --- programming ---
    void SetResult(const std::string& operation, HRESULT hr) {
        results[operation] = hr;
    }
    std::map<std::string, HRESULT> results;
    // Integer out-values of an operation, in parameter order (missing ones read 0).
    std::map<std::string, std::vector<std::int32_t>> outInts;

    InstrumentStatus status{};
    std::optional<std::string> statusMessage;
    InstrumentConfiguration configuration{};
    std::optional<std::string> serialNumber;
    std::optional<std::string> firstError;
    OwnedSeparationMethod method;
    std::vector<FakeDataBlock> dataBlocks;
    SyringeDataRecord syringeData{};
    // The length of the data block that ReadSyringeData hands out; a short one holds the
    // record's first bytes only.
    std::uint32_t syringeDataLength = sizeof(SyringeDataRecord);
    AutoSamplerSensorRecord sensors{};
    std::vector<std::uint16_t> syringeUsage1, syringeUsage2;
    float autoSamplerVersion = 0.0F;
    std::optional<std::u16string> pumpVersion, clientVersion;
    // Hands out a null block on success, as a faulty server might.
    bool nullBlocks = false;

    // Runs inside every call, after it is logged and before it answers.
    std::function<void(const std::string& operation)> onCall;

    // --- what was sent ---
    std::vector<std::string> calls;
    std::vector<std::string> CallsTo(const std::string& operation) const;
    std::optional<InstrumentConfiguration> sentConfiguration;
    std::optional<std::string> sentSerialNumber;
    std::optional<OwnedSeparationMethod> sentMethod;
    std::vector<PlateConfiguration> sentPlates;
    std::vector<OwnedInjectionSpec> sentInjections;
    std::vector<std::vector<std::uint8_t>> sentTransferData;

private:
    CFakeInstrumentServer() = default;
    ~CFakeInstrumentServer() override;

    template <class... A> HRESULT Handle(const char* name, std::tuple<A&...> args);
    HRESULT Answer(const std::string& name) const;

    // The error list stays with its producer; the fake keeps the last one until it goes.
    ErrorList* m_pErrors = nullptr;
};

// A QString of a task-allocator text, for assertions.
QString TextOf(const char* psz);
