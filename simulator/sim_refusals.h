#pragma once

#include "hresult.h"

// Refusals of the simulated instrument, worded as the system words these codes.

// The instrument does not answer: powered off, restarting or in its firmware loader.
// ("The device is not ready.")
constexpr HRESULT kHrInstrumentNotReady = MakeHResult(0x80070015);
// Another procedure is running. ("The requested resource is in use.")
constexpr HRESULT kHrInstrumentBusy = MakeHResult(0x800700AA);
// The syringe data fetch was not enabled (EnableSyringeData). ("The group or resource is not
// in the correct state to perform the requested operation.")
constexpr HRESULT kHrSyringeDataNotEnabled = MakeHResult(0x8007139F);
