#include "com.h"

#include <mutex>
#include <utility>
#include <vector>

namespace {

thread_local int t_initCount = 0;

struct LocalServerClass {
    CLSID clsid;
    LocalServerCreator creator;
};

std::mutex g_classesMutex;
std::vector<LocalServerClass> g_classes;

LocalServerCreator FindCreator(REFCLSID rclsid) {
    const std::scoped_lock lock(g_classesMutex);
    for (const auto& entry : g_classes) {
        if (entry.clsid == rclsid) {
            return entry.creator;
        }
    }
    return {};
}

} // namespace

HRESULT CoInitializeEx(void* /*pvReserved*/, DWORD dwCoInit) {
    if (dwCoInit != COINIT_APARTMENTTHREADED) {
        return E_INVALIDARG;
    }
    ++t_initCount;
    return t_initCount == 1 ? S_OK : S_FALSE;
}

void CoUninitialize() {
    if (t_initCount > 0) {
        --t_initCount;
    }
}

int CoInitializeCount() {
    return t_initCount;
}

void CoRegisterLocalServerClass(REFCLSID rclsid, LocalServerCreator creator) {
    const std::scoped_lock lock(g_classesMutex);
    for (auto& entry : g_classes) {
        if (entry.clsid == rclsid) {
            entry.creator = std::move(creator);
            return;
        }
    }
    g_classes.push_back({rclsid, std::move(creator)});
}

void CoRevokeLocalServerClass(REFCLSID rclsid) {
    const std::scoped_lock lock(g_classesMutex);
    std::erase_if(g_classes, [&](const LocalServerClass& entry) { return entry.clsid == rclsid; });
}

HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsContext, REFIID riid,
                         void** ppv) {
    if (ppv == nullptr) {
        return E_POINTER;
    }
    *ppv = nullptr;
    if (t_initCount == 0) {
        return CO_E_NOTINITIALIZED;
    }
    if (pUnkOuter != nullptr) {
        return CLASS_E_NOAGGREGATION;
    }
    if ((dwClsContext & CLSCTX_LOCAL_SERVER) == 0) {
        return REGDB_E_CLASSNOTREG;
    }
    const LocalServerCreator creator = FindCreator(rclsid);
    if (!creator) {
        return REGDB_E_CLASSNOTREG;
    }
    return creator(riid, ppv);
}
