#pragma once

#include <QSize>

// Diagnostics sheets: page templates.
constexpr int IDD_PAGE_IO = 107;
constexpr int IDD_PAGE_AUTOSAMPLER = 137;
constexpr int IDD_PAGE_VALVES = 138;
constexpr int IDD_PAGE_SILK = 139;
constexpr int IDD_PAGE_USAGE = 140;
constexpr int IDD_PAGE_USER_CONFIG = 141;
constexpr int IDD_PAGE_AUTOSAMPLER_SERVICE = 142;
constexpr int IDD_PAGE_AUTOSAMPLER_SENSORS = 148;
// Every page template is this size, in dialog units.
inline constexpr QSize kDiagnosticPageTemplateSize(275, 274);

// The value that switches the instrument's autosampler monitor on; 0 switches it off.
constexpr int kAutoSamplerMonitorOn = 250896;
