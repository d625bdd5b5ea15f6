#pragma once

// About box controls.
constexpr int IDC_CLIENT_VERSION = 1131;
constexpr int IDC_PUMP_VERSION = 1132;
constexpr int IDC_AUTOSAMPLER_VERSION = 1133;
constexpr int IDOK_BUTTON = 1;
