#include "bstr.h"
#include "com.h"
#include "guid.h"
#include "hresult.h"
#include "task_allocator.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(HResult, SuccessIsNonNegative) {
    EXPECT_TRUE(SUCCEEDED(S_OK));
    EXPECT_TRUE(SUCCEEDED(S_FALSE));
    EXPECT_TRUE(SUCCEEDED(1)) << "IsInstrumentReady's 'not answering' is a success code";
    EXPECT_TRUE(FAILED(E_FAIL));
    EXPECT_TRUE(FAILED(REGDB_E_CLASSNOTREG));
    EXPECT_EQ(static_cast<std::uint32_t>(REGDB_E_CLASSNOTREG), 0x80040154U);
    EXPECT_EQ(static_cast<std::uint32_t>(RPC_S_SERVER_UNAVAILABLE), 0x800706BAU);
}

TEST(HResult, SystemTextsAsThePlatformWordsThem) {
    EXPECT_EQ(SystemMessageText(REGDB_E_CLASSNOTREG), "Class not registered");
    EXPECT_EQ(SystemMessageText(CO_E_SERVER_EXEC_FAILURE), "Server execution failed");
    EXPECT_EQ(SystemMessageText(E_NOINTERFACE), "No such interface supported");
    EXPECT_EQ(SystemMessageText(E_FAIL), "Unspecified error");
    EXPECT_EQ(SystemMessageText(RPC_S_SERVER_UNAVAILABLE), "The RPC server is unavailable.");
    EXPECT_EQ(SystemMessageText(MakeHResult(0x80001234)), "Unknown error 0x80001234");
}

TEST(Guid, FormatsAsRegistryText) {
    EXPECT_EQ(GuidToString(CLSID_InstrumentServer), "{BBE9544A-EB51-11D2-81A9-0020AFF36907}");
    EXPECT_EQ(GuidToString(IID_IInstrumentServer), "{4E34E260-E8FF-11D2-81A8-0020AFF36907}");
    EXPECT_FALSE(CLSID_InstrumentServer == IID_IInstrumentServer);
}

TEST(TaskAllocator, CountsLiveBlocks) {
    const auto before = CoTaskMemLiveBlocks();
    void* a = CoTaskMemAlloc(10);
    void* b = CoTaskMemAlloc(0);
    EXPECT_EQ(CoTaskMemLiveBlocks(), before + 2);
    CoTaskMemFree(a);
    CoTaskMemFree(b);
    CoTaskMemFree(nullptr);
    EXPECT_EQ(CoTaskMemLiveBlocks(), before);
}

TEST(TaskAllocatorDeathTest, DoubleFreeStopsAtTheFault) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            void* block = CoTaskMemAlloc(4);
            CoTaskMemFree(block);
            CoTaskMemFree(block);
        },
        "");
}

TEST(Bstr, LengthPrefixedUtf16) {
    BSTR text = BstrFromUtf8("µL 1.50");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(SysStringLen(text), 7U);
    EXPECT_EQ(SysStringByteLen(text), 14U);
    std::uint32_t prefix = 0;
    std::memcpy(&prefix, reinterpret_cast<const char*>(text) - 4, 4);
    EXPECT_EQ(prefix, 14U);
    EXPECT_EQ(text[7], u'\0');
    EXPECT_EQ(text[0], u'\u00B5');
    EXPECT_EQ(Utf8FromBstr(text), "µL 1.50");
    SysFreeString(text);
    EXPECT_EQ(SysStringLen(nullptr), 0U);
    EXPECT_EQ(Utf8FromBstr(nullptr), "");
    SysFreeString(nullptr);
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysAllocStringLen(nullptr, 0xFFFFFFF0U), nullptr) << "byte length must fit 32 bits";
}

TEST(Com, InitialisationKeepsItsBalance) {
    ASSERT_EQ(CoInitializeCount(), 0);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_FALSE);
    CoUninitialize();
    CoUninitialize();
    CoUninitialize();
    EXPECT_EQ(CoInitializeCount(), 0);
}

TEST(Com, CreationNeedsInitialisationAndARegisteredClass) {
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(CoCreateInstance(CLSID_InstrumentServer, nullptr, CLSCTX_LOCAL_SERVER,
                               IID_IInstrumentServer, &object),
              CO_E_NOTINITIALIZED);
    EXPECT_EQ(object, nullptr);
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    EXPECT_EQ(CoCreateInstance(CLSID_InstrumentServer, nullptr, CLSCTX_LOCAL_SERVER,
                               IID_IInstrumentServer, &object),
              REGDB_E_CLASSNOTREG);

    int created = 0;
    CoRegisterLocalServerClass(CLSID_InstrumentServer, [&](REFIID, void** ppv) {
        ++created;
        *ppv = nullptr;
        return E_NOINTERFACE;
    });
    EXPECT_EQ(CoCreateInstance(CLSID_InstrumentServer, nullptr, CLSCTX_LOCAL_SERVER,
                               IID_IInstrumentServer, &object),
              E_NOINTERFACE);
    EXPECT_EQ(created, 1);
    EXPECT_EQ(CoCreateInstance(CLSID_InstrumentServer, nullptr, 0x1 /* in-process */,
                               IID_IInstrumentServer, &object),
              REGDB_E_CLASSNOTREG);
    CoRevokeLocalServerClass(CLSID_InstrumentServer);
    EXPECT_EQ(CoCreateInstance(CLSID_InstrumentServer, nullptr, CLSCTX_LOCAL_SERVER,
                               IID_IInstrumentServer, &object),
              REGDB_E_CLASSNOTREG);
    CoUninitialize();
}

} // namespace
