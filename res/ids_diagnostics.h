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

// Valves page: the move buttons of each syringe valve, its state text, and the row labels of
// pump C's two valves.
constexpr int IDC_VALVES_1_DELIVER = 1047;
constexpr int IDC_VALVES_1_DEAD_END = 1051;
constexpr int IDC_VALVES_1_FILL = 1056;
constexpr int IDC_VALVES_2_DELIVER = 1023;
constexpr int IDC_VALVES_2_DEAD_END = 1024;
constexpr int IDC_VALVES_2_FILL = 1025;
constexpr int IDC_VALVES_3_DELIVER = 1026;
constexpr int IDC_VALVES_3_DEAD_END = 1052;
constexpr int IDC_VALVES_3_FILL = 1057;
constexpr int IDC_VALVES_4_DELIVER = 1048;
constexpr int IDC_VALVES_4_DEAD_END = 1053;
constexpr int IDC_VALVES_4_FILL = 1058;
constexpr int IDC_VALVES_5_DELIVER = 1049;
constexpr int IDC_VALVES_5_DEAD_END = 1054;
constexpr int IDC_VALVES_5_FILL = 1059;
constexpr int IDC_VALVES_6_DELIVER = 1050;
constexpr int IDC_VALVES_6_DEAD_END = 1055;
constexpr int IDC_VALVES_6_FILL = 1060;
constexpr int IDC_VALVES_1_STATE = 1123;
constexpr int IDC_VALVES_2_STATE = 1124;
constexpr int IDC_VALVES_3_STATE = 1125;
constexpr int IDC_VALVES_4_STATE = 1126;
constexpr int IDC_VALVES_5_STATE = 1127;
constexpr int IDC_VALVES_6_STATE = 1128;
constexpr int IDC_VALVES_5_LABEL = 1118;
constexpr int IDC_VALVES_6_LABEL = 1119;

// AutoSampler page: valve and sample syringe commands, and the valve positions beside them.
constexpr int IDC_AUTOSAMPLER_INJECT = 1027;
constexpr int IDC_AUTOSAMPLER_STREAM = 1028;
constexpr int IDC_AUTOSAMPLER_VENT = 1029;
constexpr int IDC_AUTOSAMPLER_SOLVENT = 1030;
constexpr int IDC_AUTOSAMPLER_EMPTY = 1031;
constexpr int IDC_AUTOSAMPLER_FILL = 1032;
constexpr int IDC_AUTOSAMPLER_WASH = 1033;
constexpr int IDC_AUTOSAMPLER_INJECT_POSITION = 1005;
constexpr int IDC_AUTOSAMPLER_VENT_POSITION = 1007;
constexpr int IDC_AUTOSAMPLER_SOLVENT_POSITION = 1045;
constexpr int IDC_AUTOSAMPLER_STREAM_POSITION = 1046;
// The autosampler's own command codes, sent as text.
inline constexpr char16_t kAutoSamplerInjectCommand[] = u"5105";
inline constexpr char16_t kAutoSamplerVentCommand[] = u"5106";
inline constexpr char16_t kAutoSamplerStreamCommand[] = u"5107";
inline constexpr char16_t kAutoSamplerSolventCommand[] = u"5108";

// AutoSampler Sensors page: one indicator per sensor.
constexpr int IDC_SENSOR_TRAY_UNIT = 1156;
constexpr int IDC_SENSOR_SYRINGE_HOME = 1157;
constexpr int IDC_SENSOR_SYRINGE_ROTATION = 1158;
constexpr int IDC_SENSOR_SYRINGE_VALVE_LEFT = 1159;
constexpr int IDC_SENSOR_SYRINGE_VALVE_RIGHT = 1160;
constexpr int IDC_SENSOR_SAMPLE_NEEDLE_HOME = 1161;
constexpr int IDC_SENSOR_SAMPLE_NEEDLE_CYCLE = 1162;
constexpr int IDC_SENSOR_SAMPLE_NEEDLE_FLEX = 1163;
constexpr int IDC_SENSOR_INJECT_LOAD = 1164;
constexpr int IDC_SENSOR_INJECT_INJECT = 1165;
constexpr int IDC_SENSOR_VENT_POSITION_1 = 1166;
constexpr int IDC_SENSOR_VENT_POSITION_2 = 1167;
constexpr int IDC_SENSOR_STREAM_POSITION_1 = 1168;
constexpr int IDC_SENSOR_STREAM_POSITION_2 = 1169;
constexpr int IDC_SENSOR_HORIZONTAL_HOME = 1170;
constexpr int IDC_SENSOR_VERTICAL_HOME = 1172;
constexpr int IDC_SENSOR_HORIZONTAL_POSITION = 1173;
constexpr int IDC_SENSOR_VIAL = 1174;
constexpr int IDC_SENSOR_NEEDLE_UNIT_FLEX = 1175;

// I/O page: one indicator per event line.
constexpr int IDC_IO_DIVERTER_VALVE = 1145;
constexpr int IDC_IO_SWITCH_2 = 1144;
constexpr int IDC_IO_SWITCH_1 = 1143;
constexpr int IDC_IO_INJECT_EVENT = 1142;
constexpr int IDC_IO_EVENT_2 = 1141;
constexpr int IDC_IO_EVENT_1 = 1140;
constexpr int IDC_IO_STOP_FLOW = 1139;
constexpr int IDC_IO_MANUAL_INJECT = 1138;

// Indicator images.
constexpr int IDB_EVENT_ON = 139;
constexpr int IDB_EVENT_OFF = 140;
constexpr int IDB_SENSOR_CLEAR = 145;
constexpr int IDB_SENSOR_SET = 146;

// Texts of the valve states, the solvent reservoir and the indicator states.
constexpr int IDS_VALVE_STATE_FILL = 3600;
constexpr int IDS_VALVE_STATE_DEAD_END = 3601;
constexpr int IDS_VALVE_STATE_DELIVER = 3602;
constexpr int IDS_VALVE_STATE_IN_MOTION = 3603;
constexpr int IDS_VALVE_STATE_INVALID = 3604;
constexpr int IDS_VALVE_STATE_UNKNOWN = 3605;
constexpr int IDS_RESERVOIR_FORMAT = 3606;
constexpr int IDS_EVENT_ON = 3607;
constexpr int IDS_EVENT_OFF = 3608;
constexpr int IDS_SENSOR_SET = 3609;
constexpr int IDS_SENSOR_CLEAR = 3610;
