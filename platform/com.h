#pragma once

#include "guid.h"
#include "hresult.h"
#include "unknown.h"

#include <functional>

constexpr DWORD COINIT_APARTMENTTHREADED = 0x2;
constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;

// Per-thread initialisation count: each successful CoInitializeEx is balanced by one
// CoUninitialize; a surplus CoUninitialize does nothing.
HRESULT CoInitializeEx(void* pvReserved, DWORD dwCoInit);
void CoUninitialize();
int CoInitializeCount();

// How a class that lives in a local server is reached from this process: the creator starts or
// finds the server and hands back an interface on it.
using LocalServerCreator = std::function<HRESULT(REFIID riid, void** ppv)>;

// Makes a class creatable with CLSCTX_LOCAL_SERVER; a later registration replaces an earlier one.
void CoRegisterLocalServerClass(REFCLSID rclsid, LocalServerCreator creator);
void CoRevokeLocalServerClass(REFCLSID rclsid);

HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsContext, REFIID riid,
                         void** ppv);
