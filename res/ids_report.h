#pragma once

// Service report: its File menu command, its dialog and its strings.
constexpr int ID_FILE_SERVICE_REPORT = 32920;

constexpr int IDS_REPORT_TITLE = 4100;
constexpr int IDS_REPORT_PDF_FILTER = 4101;
constexpr int IDS_REPORT_FILE_NAME = 4102;
constexpr int IDS_REPORT_WRITE_FAILED = 4103;
constexpr int IDS_REPORT_WRITTEN = 4104;
constexpr int IDS_REPORT_NOT_ANSWERED = 4105;
constexpr int IDS_REPORT_NO_VALUE = 4106;
constexpr int IDS_REPORT_INSTRUMENT = 4107;
constexpr int IDS_REPORT_INSTRUMENT_CAPTIONS = 4108;
constexpr int IDS_REPORT_CONFIGURATION = 4109;
constexpr int IDS_REPORT_CONFIGURATION_CAPTIONS = 4110;
constexpr int IDS_REPORT_VOLUME_FORMAT = 4111;
constexpr int IDS_REPORT_INSTALLED = 4112;
constexpr int IDS_REPORT_NOT_INSTALLED = 4113;
constexpr int IDS_REPORT_TERNARY_GRADIENT = 4114;
constexpr int IDS_REPORT_POST_COLUMN_GRADIENT = 4115;
constexpr int IDS_REPORT_USAGE = 4116;
constexpr int IDS_REPORT_USAGE_CAPTIONS = 4117;
constexpr int IDS_REPORT_SYRINGE_HEADINGS = 4118;
constexpr int IDS_REPORT_STATUS = 4119;
constexpr int IDS_REPORT_STATUS_CAPTIONS = 4120;
constexpr int IDS_REPORT_NO_ERRORS = 4121;
constexpr int IDS_REPORT_TRACE_SPAN = 4122;
constexpr int IDS_REPORT_NO_TRACE = 4123;
constexpr int IDS_REPORT_HISTORY = 4124;
constexpr int IDS_REPORT_HISTORY_SINCE = 4125;
constexpr int IDS_REPORT_HISTORY_HEADINGS = 4126;
constexpr int IDS_REPORT_NO_HISTORY = 4127;
constexpr int IDS_REPORT_TIME_FORMAT = 4128;
constexpr int IDS_REPORT_SECTION_NOT_ANSWERED = 4129;
constexpr int IDS_REPORT_FROM_START = 4130;
constexpr int IDS_REPORT_FROM_TIME = 4131;
constexpr int IDS_REPORT_EDIT_TIME_FORMAT = 4132;
constexpr int IDS_REPORT_BAD_SINCE = 4133;
constexpr int IDS_REPORT_WRITTEN_NOT_ANSWERED = 4134;
constexpr int IDS_REPORT_WRITTEN_BY = 4135;
constexpr int IDS_REPORT_HISTORY_GROUP = 4136;
constexpr int IDS_REPORT_FILE_NAME_TIME = 4137;
constexpr int IDS_REPORT_TRACE_LATEST = 4138;
constexpr int IDS_REPORT_HISTORY_KEY = 4144;
constexpr int IDS_REPORT_HISTORY_CHECKPOINT = 4145;
constexpr int IDS_REPORT_HISTORY_NO_CHECKPOINT = 4146;

// The dialog that asks where the report's service history starts.
constexpr int IDD_SERVICE_REPORT = 4140;
constexpr int IDC_REPORT_FROM_START = 4141;
constexpr int IDC_REPORT_FROM_TIME = 4142;
constexpr int IDC_REPORT_FROM_TIME_EDIT = 4143;
