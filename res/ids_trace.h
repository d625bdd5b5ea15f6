#pragma once

// Pressure trace and event log docks: their View menu toggles and their strings.
constexpr int ID_VIEW_PRESSURE_TRACE = 32900;
constexpr int ID_VIEW_EVENT_LOG = 32901;

constexpr int IDS_PRESSURE_TRACE = 3700;
constexpr int IDS_EVENT_LOG = 3701;
constexpr int IDS_TRACE_SYSTEM_PRESSURE = 3702;
constexpr int IDS_TRACE_AUX_PRESSURE = 3703;
constexpr int IDS_TRACE_FLOW_RATE = 3704;
constexpr int IDS_TRACE_PRESSURE_AXIS = 3705;
constexpr int IDS_TRACE_FLOW_AXIS = 3706;
constexpr int IDS_TRACE_TIME_FORMAT = 3707;
constexpr int IDS_TRACE_EXPORT = 3708;
constexpr int IDS_TRACE_EXPORT_CAPTION = 3709;
constexpr int IDS_TRACE_CSV_FILTER = 3710;
constexpr int IDS_TRACE_CSV_NAME = 3711;
constexpr int IDS_TRACE_CSV_HEADER = 3712;
constexpr int IDS_TRACE_LATEST = 3713;
constexpr int IDS_LOG_EXPORT = 3714;
constexpr int IDS_LOG_EXPORT_CAPTION = 3715;
constexpr int IDS_LOG_TEXT_FILTER = 3716;
constexpr int IDS_LOG_TEXT_NAME = 3717;
constexpr int IDS_LOG_STATE = 3718;
constexpr int IDS_LOG_ERROR = 3719;
constexpr int IDS_EXPORT_FAILED = 3720;
constexpr int IDS_TRACE_PRESSURE_LABEL_FORMAT = 3721;
constexpr int IDS_TRACE_FLOW_LABEL_FORMAT = 3722;
