// Every operation gives the same result, out-values and server-side arguments whether called
// on an implementation directly or through stub -> bus -> proxy.
#include "fake_instrument_server.h"
#include "instrument_bus.h"
#include "instrument_proxy.h"
#include "instrument_stub.h"
#include "record_codec.h"
#include "stub_host.h"

#include <QDBusConnection>
#include <QThread>
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <sstream>

namespace {

std::string Hex(const QByteArray& bytes) {
    return bytes.toHex().toStdString();
}
std::string Text(const char* psz) {
    return psz ? "'" + std::string(psz) + "'" : "null";
}

using Probe = std::function<std::string(IInstrumentServer*)>;

// One call per operation with non-trivial arguments; each describes its result and out-values
// and releases what it received.
std::vector<std::pair<std::string, Probe>> Probes() {
    std::vector<std::pair<std::string, Probe>> probes;
    auto add = [&](const char* name, Probe probe) { probes.emplace_back(name, std::move(probe)); };
    auto hr = [](HRESULT value) { return "hr=" + std::to_string(value); };

    add("InitializeInstrument",
        [=](IInstrumentServer* s) { return hr(s->InitializeInstrument(4, 1)); });
    add("GetInstrumentConfiguration", [=](IInstrumentServer* s) {
        InstrumentConfiguration* p = nullptr;
        const HRESULT r = s->GetInstrumentConfiguration(&p);
        std::string out = hr(r) + " " + Hex(EncodeRecord(*p)) + " " + Text(p->pszSerialNumber);
        ReleaseInstrumentConfiguration(p);
        return out;
    });
    add("SetSeparationMethod", [=](IInstrumentServer* s) {
        SeparationMethod method{};
        method.pszMethodName = const_cast<char*>("Client Test Method");
        method.f4 = 9.9F;
        method.pszSolventA = const_cast<char*>("A Solvent");
        method.pszSolventC = const_cast<char*>("C \xB5 Solvent");
        method.fSampleTempSetPoint = 35.0F;
        method.fColumnTempSetPoint = 36.5F;
        method.pszColumnName = const_cast<char*>("Column");
        SeparationMethodStep steps[3] = {{0.25F, 6, 2, 0}, {0.5F, 6, 1, 0}, {0.75F, 6, 2, 0}};
        method.nStepCount = 3;
        method.pSteps = steps;
        return hr(s->SetSeparationMethod(&method));
    });
    add("GetSeparationMethod", [=](IInstrumentServer* s) {
        SeparationMethod* p = nullptr;
        const HRESULT r = s->GetSeparationMethod(&p);
        std::ostringstream out;
        out << hr(r) << ' ' << Hex(EncodeRecord(*p)) << ' ' << Text(p->pszMethodName) << ' '
            << Text(p->pszSolventA) << Text(p->pszSolventB) << Text(p->pszSolventC) << ' '
            << Text(p->pszColumnName) << ' '
            << Hex(EncodeRecords(p->pSteps, static_cast<std::size_t>(p->nStepCount))) << ' '
            << Hex(EncodeRecords(p->pList1, static_cast<std::size_t>(p->nList1Count)));
        ReleaseSeparationMethod(p);
        return out.str();
    });
    add("GoToInitialConditions",
        [=](IInstrumentServer* s) { return hr(s->GoToInitialConditions()); });
    add("SetPlateConfiguration", [=](IInstrumentServer* s) {
        const PlateConfiguration plate{12, 8, 9.0F, 9.0F, 8.0F, 8.0F, {}, 1, 15.0F, 1.0F, 2.1F};
        const PlateConfiguration plates[2] = {plate, plate};
        return hr(s->SetPlateConfiguration(2, plates));
    });
    add("PerformInjection", [=](IInstrumentServer* s) {
        InjectionSpecEntry entry{0.2F, const_cast<char*>("2")};
        InjectionSpecEntry two[2] = {{0.5F, nullptr}, {0.7F, const_cast<char*>("x")}};
        const InjectionSpec first{1, 1.5F, &entry, 0};
        const InjectionSpec second{2, 2.5F, two, 7};
        return hr(s->PerformInjection(0, &first, &second));
    });
    add("PerformTrigger", [=](IInstrumentServer* s) { return hr(s->PerformTrigger()); });
    add("WetPrimeSystem", [=](IInstrumentServer* s) { return hr(s->WetPrimeSystem(5, 7)); });
    add("ChangeFlow",
        [=](IInstrumentServer* s) { return hr(s->ChangeFlow(20.5F, 33.3F, 66.7F, 0.1F)); });
    add("ConditionColumn", [=](IInstrumentServer* s) { return hr(s->ConditionColumn(10.0F, 1)); });
    add("Equilibrate", [=](IInstrumentServer* s) { return hr(s->Equilibrate(-1.25F)); });
    add("HoldAndResumeFlow", [=](IInstrumentServer* s) { return hr(s->HoldAndResumeFlow(1)); });
    add("ReadStatus", [=](IInstrumentServer* s) {
        InstrumentStatus* p = nullptr;
        const HRESULT r = s->ReadStatus(&p);
        std::string out = hr(r) + " " + Hex(EncodeRecord(*p)) + " " + Text(p->pszStatusMessage);
        ReleaseInstrumentStatus(p);
        return out;
    });
    add("ReadAllErrors", [=](IInstrumentServer* s) {
        std::int32_t count = -1;
        ErrorList* p = nullptr;
        const HRESULT r = s->ReadAllErrors(1, &count, &p);
        return hr(r) + " " + std::to_string(count) + " " + Text(p->pszFirstError);
    });
    add("LaunchDiagnostics", [=](IInstrumentServer* s) { return hr(s->LaunchDiagnostics()); });
    add("ReadAllData", [=](IInstrumentServer* s) {
        DataBlockList* p = nullptr;
        const HRESULT r = s->ReadAllData(&p);
        std::ostringstream out;
        out << hr(r) << " n=" << p->nBlocks;
        for (std::int32_t i = 0; i < p->nBlocks; ++i) {
            out << " [" << p->pBlocks[i].nTag << ':';
            for (std::int32_t v = 0; v < p->pBlocks[i].nValues; ++v) {
                out << p->pBlocks[i].pValues[v] << ',';
            }
            out << ']';
        }
        ReleaseDataBlockList(p);
        return out.str();
    });
    add("ExchangeSamplePlate", [=](IInstrumentServer* s) { return hr(s->ExchangeSamplePlate()); });
    add("MoveLift", [=](IInstrumentServer* s) { return hr(s->MoveLift(1)); });
    add("PositionSamplePlate", [=](IInstrumentServer* s) { return hr(s->PositionSamplePlate(1)); });
    add("SelectPlateRow", [=](IInstrumentServer* s) { return hr(s->SelectPlateRow(7)); });
    add("SelectPlateColumn", [=](IInstrumentServer* s) { return hr(s->SelectPlateColumn(12)); });
    add("SendAutoSamplerCommand", [=](IInstrumentServer* s) {
        BSTR command = BstrFromUtf8("0142 \xC2\xB5");
        std::int32_t reply = -1;
        const HRESULT r = s->SendAutoSamplerCommand(command, &reply);
        SysFreeString(command);
        return hr(r) + " " + std::to_string(reply);
    });
    add("MoveSampleSyringe", [=](IInstrumentServer* s) { return hr(s->MoveSampleSyringe(1)); });
    add("WashSampleSyringe", [=](IInstrumentServer* s) { return hr(s->WashSampleSyringe()); });
    add("MoveSyringeValve", [=](IInstrumentServer* s) {
        std::int32_t reply = -1;
        const HRESULT r = s->MoveSyringeValve(6, 3, &reply);
        return hr(r) + " " + std::to_string(reply);
    });
    add("StartSilk", [=](IInstrumentServer* s) { return hr(s->StartSilk(3)); });
    add("GetSyringeUsage", [=](IInstrumentServer* s) {
        std::uint16_t a[6]{}, b[6]{};
        const HRESULT r = s->GetSyringeUsage(6, a, 6, b);
        std::ostringstream out;
        out << hr(r);
        for (int i = 0; i < 6; ++i) {
            out << ' ' << a[i] << '/' << b[i];
        }
        return out.str();
    });
    add("GetAutoSamplerUsage", [=](IInstrumentServer* s) {
        std::int32_t v[7] = {-1, -1, -1, -1, -1, -1, -1};
        const HRESULT r = s->GetAutoSamplerUsage(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6]);
        std::ostringstream out;
        out << hr(r);
        for (std::int32_t value : v) {
            out << ' ' << value;
        }
        return out.str();
    });
    add("StepPlateFeeder", [=](IInstrumentServer* s) { return hr(s->StepPlateFeeder(1, 0)); });
    add("EnableSyringeData", [=](IInstrumentServer* s) { return hr(s->EnableSyringeData(1)); });
    add("GetSilkWriteToDisk", [=](IInstrumentServer* s) {
        std::int32_t value = -1;
        const HRESULT r = s->GetSilkWriteToDisk(&value);
        return hr(r) + " " + std::to_string(value);
    });
    add("SetSilkWriteToDisk", [=](IInstrumentServer* s) { return hr(s->SetSilkWriteToDisk(1)); });
    add("ReadSyringeData", [=](IInstrumentServer* s) {
        std::uint8_t input[84];
        for (int i = 0; i < 84; ++i) {
            input[i] = static_cast<std::uint8_t>(i);
        }
        const TransferDataBlock in{84, input};
        TransferDataBlock* out = nullptr;
        const HRESULT r = s->ReadSyringeData(kSyringeDataRecordCode, 0, 0, &in, &out);
        const std::string text = hr(r) + " " + std::to_string(out->cbData) + " " +
                                 Hex(QByteArray(reinterpret_cast<const char*>(out->pData),
                                                static_cast<qsizetype>(out->cbData)));
        ReleaseTransferBlock(out);
        return text;
    });
    add("UploadSilkData", [=](IInstrumentServer* s) { return hr(s->UploadSilkData()); });
    add("DownloadSilkData", [=](IInstrumentServer* s) {
        return hr(s->DownloadSilkData("/tmp/silk data/\xFF run.bin"));
    });
    add("ResetSilk", [=](IInstrumentServer* s) { return hr(s->ResetSilk()); });
    add("SetInstrumentConfiguration", [=](IInstrumentServer* s) {
        const InstrumentConfiguration config{
            99.0F, 25, 999.0F, const_cast<char*>("None"), 999.0F, 1, 1, 0, 0, 1, 0, 1};
        return hr(s->SetInstrumentConfiguration(&config));
    });
    add("OpenConnection", [=](IInstrumentServer* s) { return hr(s->OpenConnection(4, 1)); });
    add("GetVersions", [=](IInstrumentServer* s) {
        float version = -1.0F;
        BSTR pump = nullptr;
        BSTR client = nullptr;
        const HRESULT r = s->GetVersions(&version, &pump, &client);
        const std::string out = hr(r) + " " + std::to_string(version) + " " + Utf8FromBstr(pump) +
                                "|" + Utf8FromBstr(client);
        SysFreeString(client);
        SysFreeString(pump);
        return out;
    });
    add("ReadEventIO", [=](IInstrumentServer* s) {
        std::int32_t v[8]{};
        const HRESULT r = s->ReadEventIO(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7]);
        std::ostringstream out;
        out << hr(r);
        for (std::int32_t value : v) {
            out << ' ' << value;
        }
        return out.str();
    });
    add("ResetUsage",
        [=](IInstrumentServer* s) { return hr(s->ResetUsage(1, 0, 1, 0, 1, 0, 1, 0, 1, -5)); });
    add("DownloadSoftware", [=](IInstrumentServer* s) {
        return hr(s->DownloadSoftware("/home/service/firmware v2.s19"));
    });
    add("PrepareSoftwareUpgrade",
        [=](IInstrumentServer* s) { return hr(s->PrepareSoftwareUpgrade()); });
    add("IsInstrumentReady", [=](IInstrumentServer* s) { return hr(s->IsInstrumentReady()); });
    add("GetDownloadProgress", [=](IInstrumentServer* s) {
        std::int32_t lines = -1;
        const HRESULT r = s->GetDownloadProgress(&lines);
        return hr(r) + " " + std::to_string(lines);
    });
    add("ReadAutoSamplerSensors", [=](IInstrumentServer* s) {
        AutoSamplerSensorRecord* p = nullptr;
        const HRESULT r = s->ReadAutoSamplerSensors(&p);
        const std::string out = hr(r) + " " + Hex(EncodeRecord(*p));
        ReleaseAutoSamplerSensors(p);
        return out;
    });
    add("DryPrimeSystem", [=](IInstrumentServer* s) { return hr(s->DryPrimeSystem(3, 12)); });
    add("SetAutoSamplerMonitor",
        [=](IInstrumentServer* s) { return hr(s->SetAutoSamplerMonitor(250896)); });
    add("StopDryPrime", [=](IInstrumentServer* s) { return hr(s->StopDryPrime()); });
    add("SelectSolvent", [=](IInstrumentServer* s) { return hr(s->SelectSolvent(2)); });
    add("MoveSampleSyringeValve",
        [=](IInstrumentServer* s) { return hr(s->MoveSampleSyringeValve(3)); });
    add("MoveLeftUnit", [=](IInstrumentServer* s) { return hr(s->MoveLeftUnit(1)); });
    add("MoveRightUnit", [=](IInstrumentServer* s) { return hr(s->MoveRightUnit(0)); });
    add("MoveCenterUnit", [=](IInstrumentServer* s) { return hr(s->MoveCenterUnit(2)); });
    add("LiftCenterUnit", [=](IInstrumentServer* s) { return hr(s->LiftCenterUnit(1)); });
    add("SetAirCompressor", [=](IInstrumentServer* s) { return hr(s->SetAirCompressor(1)); });
    add("MoveNeedleUnit", [=](IInstrumentServer* s) { return hr(s->MoveNeedleUnit(0)); });
    add("MoveSampleNeedle", [=](IInstrumentServer* s) { return hr(s->MoveSampleNeedle(1)); });
    add("SetPlateType", [=](IInstrumentServer* s) { return hr(s->SetPlateType(3)); });
    return probes;
}

void Program(CFakeInstrumentServer& fake) {
    fake.status.nState = 6;
    fake.status.bErrorsPending = 1;
    fake.status.nInjectValve = 2;
    fake.status.nReservoir = 3;
    fake.status.fFlowRate = 4.25F;
    fake.status.fPercentA = 33.3F;
    fake.status.fPressure = 1234.4F;
    fake.status.fSampleTempActual = -4.5F;
    fake.status.reserved64 = {1, 2, 3, 4};
    fake.statusMessage = "Running \xB5L inject"; // a byte that is not UTF-8 travels unchanged
    fake.configuration = {20.0F, 250, 1.5F, nullptr, 3.25F, 1, 0, 1, 0, 1, 7, 9};
    fake.serialNumber = "SN 0042";
    fake.firstError = "Pump A overpressure";
    fake.outInts["ReadAllErrors"] = {3};
    fake.method.record.f4 = 9.9F;
    fake.method.record.fColumnTempSetPoint = 35.0F;
    fake.method.record.u200 = 0xABCDEF01;
    fake.method.name = "Stored";
    fake.method.solventB = "B";
    fake.method.column = "C18";
    fake.method.steps = {{0.25F, 6, 2, 0}, {0.5F, 6, 1, 0}};
    fake.method.list1 = {SeparationMethodEntry{{1, 2, 3, 4}}};
    fake.dataBlocks = {{11, {1, -2, 3}}, {12, {}}, {13, {2147483647}}};
    fake.outInts["SendAutoSamplerCommand"] = {42};
    fake.outInts["MoveSyringeValve"] = {-7};
    fake.syringeUsage1 = {1, 2, 3, 4, 5, 65535};
    fake.syringeUsage2 = {6, 5, 4, 3, 2, 1};
    fake.outInts["GetAutoSamplerUsage"] = {10, 20, 30, 40, 50, 60, 70};
    fake.outInts["GetSilkWriteToDisk"] = {1};
    fake.syringeData.anPressure = {-1, 2, -3, 4, -5, 6};
    fake.syringeData.anPosition = {100, 200, 300, 400, 500, -600};
    fake.autoSamplerVersion = 1.5F;
    fake.pumpVersion = u"P 2.10";
    fake.clientVersion = u"C \u00B5 3";
    fake.outInts["ReadEventIO"] = {1, 0, 1, 0, 1, 0, 1, 1};
    fake.outInts["GetDownloadProgress"] = {1234};
    fake.sensors.anSensor = {0, 1, -1, 255, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 1};
    // Success codes other than S_OK and failures travel unchanged.
    fake.SetResult("IsInstrumentReady", 1);
    fake.SetResult("MoveLift", E_INVALIDARG);
    fake.SetResult("StopDryPrime", MakeHResult(0x80041234));
}

// The recording fake, served from a worker thread and reached through a proxy.
class BusRoundTrip : public ::testing::Test {
protected:
    void SetUp() override { fake = CFakeInstrumentServer::Create(); }
    void TearDown() override {
        if (proxy != nullptr) {
            proxy->Release();
        }
        host.reset();
        fake->Release();
    }
    // Starts serving the fake as programmed so far.
    void Serve() {
        host.emplace(fake);
        ASSERT_TRUE(host->Ok());
        ASSERT_EQ(CreateInstrumentServerProxy(QDBusConnection::sessionBus(), IID_IInstrumentServer,
                                              reinterpret_cast<void**>(&proxy)),
                  S_OK);
    }

    CFakeInstrumentServer* fake = nullptr;
    std::optional<StubHost> host;
    IInstrumentServer* proxy = nullptr;
};

TEST_F(BusRoundTrip, EveryOperationMatchesTheDirectCall) {
    Program(*fake);
    ASSERT_NO_FATAL_FAILURE(Serve());
    const auto probes = Probes();
    EXPECT_EQ(probes.size(), 60U) << "one probe per named operation";
    for (const auto& [name, probe] : probes) {
        SCOPED_TRACE(name);
        const std::string direct = probe(fake);
        const std::string directCall = fake->calls.back();
        const std::string viaBus = probe(proxy);
        EXPECT_EQ(viaBus, direct);
        EXPECT_EQ(fake->calls.back(), directCall) << "the server saw other arguments";
        EXPECT_EQ(fake->calls.back().substr(0, name.size() + 1), name + "(");
    }
    EXPECT_EQ(fake->sentMethod->steps.size(), 3U);
    EXPECT_EQ(fake->sentInjections.size(), 2U);
    ASSERT_EQ(fake->sentInjections[1].texts.size(), 2U);
    EXPECT_FALSE(fake->sentInjections[1].texts[0].has_value()) << "a null text stays null";
    EXPECT_EQ(fake->sentPlates.size(), 2U);
    EXPECT_EQ(fake->sentSerialNumber, std::optional<std::string>("None"));
}

TEST_F(BusRoundTrip, FailedCallsLeaveOutValuesAlone) {
    fake->SetResult("ReadStatus", E_FAIL);
    fake->SetResult("GetVersions", E_UNEXPECTED);
    ASSERT_NO_FATAL_FAILURE(Serve());
    InstrumentStatus* status = nullptr;
    EXPECT_EQ(proxy->ReadStatus(&status), E_FAIL);
    EXPECT_EQ(status, nullptr);
    float version = -1.0F;
    BSTR pump = nullptr;
    BSTR client = nullptr;
    EXPECT_EQ(proxy->GetVersions(&version, &pump, &client), E_UNEXPECTED);
    EXPECT_EQ(version, -1.0F);
    EXPECT_EQ(pump, nullptr);
    EXPECT_EQ(proxy->ReadStatus(nullptr), E_POINTER) << "checked before anything is sent";
}

TEST_F(BusRoundTrip, ASuccessWithoutItsRecordIsAFailureNotACrash) {
    fake->nullBlocks = true;
    ASSERT_NO_FATAL_FAILURE(Serve());
    InstrumentStatus* status = nullptr;
    EXPECT_EQ(proxy->ReadStatus(&status), RPC_X_BAD_STUB_DATA);
    EXPECT_EQ(status, nullptr);
    InstrumentConfiguration* config = nullptr;
    EXPECT_EQ(proxy->GetInstrumentConfiguration(&config), RPC_X_BAD_STUB_DATA);
    SeparationMethod* method = nullptr;
    EXPECT_EQ(proxy->GetSeparationMethod(&method), RPC_X_BAD_STUB_DATA);
    AutoSamplerSensorRecord* sensors = nullptr;
    EXPECT_EQ(proxy->ReadAutoSamplerSensors(&sensors), RPC_X_BAD_STUB_DATA);
    std::uint8_t input[84]{};
    const TransferDataBlock in{84, input};
    TransferDataBlock* out = nullptr;
    EXPECT_EQ(proxy->ReadSyringeData(19, 0, 0, &in, &out), RPC_X_BAD_STUB_DATA);
    EXPECT_EQ(out, nullptr);
}

TEST_F(BusRoundTrip, APlateCountTheBytesDoNotBackIsRefusedByTheStub) {
    ASSERT_NO_FATAL_FAILURE(Serve());
    const std::size_t callsBefore = fake->calls.size();
    QDBusMessage call = QDBusMessage::createMethodCall(kInstrumentServiceName,
                                                       kInstrumentObjectPath, kInstrumentInterface,
                                                       QStringLiteral("SetPlateConfiguration"));
    call.setArguments({QVariant(std::int32_t{2147483647}), QVariant(QByteArray())});
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call);
    ASSERT_EQ(reply.type(), QDBusMessage::ErrorMessage);
    EXPECT_EQ(reply.errorName(), QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"));
    EXPECT_EQ(fake->calls.size(), callsBefore) << "the implementation was not called";
}

} // namespace
