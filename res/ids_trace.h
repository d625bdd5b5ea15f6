#pragma once

// Pressure trace and event log docks: their View menu toggles and their strings.
constexpr int ID_VIEW_PRESSURE_TRACE = 32900;
constexpr int ID_VIEW_EVENT_LOG = 32901;

constexpr int IDS_PRESSURE_TRACE = 3400;
constexpr int IDS_EVENT_LOG = 3401;
constexpr int IDS_TRACE_SYSTEM_PRESSURE = 3402;
constexpr int IDS_TRACE_AUX_PRESSURE = 3403;
constexpr int IDS_TRACE_FLOW_RATE = 3404;
constexpr int IDS_TRACE_PRESSURE_AXIS = 3405;
constexpr int IDS_TRACE_FLOW_AXIS = 3406;
constexpr int IDS_TRACE_TIME_FORMAT = 3407;
constexpr int IDS_TRACE_EXPORT = 3408;
constexpr int IDS_TRACE_EXPORT_CAPTION = 3409;
constexpr int IDS_TRACE_CSV_FILTER = 3410;
constexpr int IDS_TRACE_CSV_NAME = 3411;
constexpr int IDS_TRACE_CSV_HEADER = 3412;
constexpr int IDS_TRACE_LATEST = 3413;
constexpr int IDS_LOG_EXPORT = 3414;
constexpr int IDS_LOG_EXPORT_CAPTION = 3415;
constexpr int IDS_LOG_TEXT_FILTER = 3416;
constexpr int IDS_LOG_TEXT_NAME = 3417;
constexpr int IDS_LOG_STATE = 3418;
constexpr int IDS_LOG_ERROR = 3419;
constexpr int IDS_EXPORT_FAILED = 3420;
constexpr int IDS_TRACE_PRESSURE_LABEL_FORMAT = 3421;
constexpr int IDS_TRACE_FLOW_LABEL_FORMAT = 3422;
