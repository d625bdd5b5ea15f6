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

// AutoSampler Service page.
constexpr int IDC_SERVICE_SYRINGE_WASH = 1001;
constexpr int IDC_SERVICE_SYRINGE_WASTE = 1002;
constexpr int IDC_SERVICE_SYRINGE_NEEDLE = 1003;
constexpr int IDC_SERVICE_AIR_ON = 1027;
constexpr int IDC_SERVICE_AIR_OFF = 1028;
constexpr int IDC_SERVICE_LEFT_HOME = 1029;
constexpr int IDC_SERVICE_LEFT_NEXT = 1030;
constexpr int IDC_SERVICE_RIGHT_HOME = 1031;
constexpr int IDC_SERVICE_RIGHT_NEXT = 1032;
constexpr int IDC_SERVICE_CENTER_PLACE = 1033;
constexpr int IDC_SERVICE_CENTER_DROP = 1034;
constexpr int IDC_SERVICE_CENTER_HOME = 1035;
constexpr int IDC_SERVICE_CENTER_UP = 1036;
constexpr int IDC_SERVICE_CENTER_DOWN = 1037;
constexpr int IDC_SERVICE_PLATE_TYPE = 1038;
constexpr int IDC_SERVICE_COLUMN = 1039;
constexpr int IDC_SERVICE_ROW = 1040;
constexpr int IDC_SERVICE_NEEDLE_UNIT_UP = 1041;
constexpr int IDC_SERVICE_NEEDLE_UNIT_DOWN = 1042;
constexpr int IDC_SERVICE_SAMPLE_NEEDLE_UP = 1043;
constexpr int IDC_SERVICE_SAMPLE_NEEDLE_DOWN = 1044;

// Silk page. The grid's ids run in syringe order from the first of each column.
constexpr int IDC_SILK_PUMP_A = 1061;
constexpr int IDC_SILK_PUMP_B = 1062;
constexpr int IDC_SILK_PUMP_C = 1063;
constexpr int IDC_SILK_START = 1064;
constexpr int IDC_SILK_WRITE_TO_DISK = 1087;
constexpr int IDC_SILK_UPLOAD = 1088;
constexpr int IDC_SILK_DOWNLOAD = 1089;
constexpr int IDC_SILK_STATE_1 = 1091;
constexpr int IDC_SILK_PRESSURE_1 = 1097;
constexpr int IDC_SILK_POSITION_1 = 1103;
constexpr int IDC_SILK_RESET = 1109;
constexpr int IDC_SILK_ROW_LABEL_5 = 1120;
constexpr int IDC_SILK_ROW_LABEL_6 = 1121;

// Usage page.
constexpr int IDC_USAGE_RESET_SYRINGES_1_2 = 1018;
constexpr int IDC_USAGE_RESET_SYRINGES_3_4 = 1019;
constexpr int IDC_USAGE_RESET_SYRINGES_5_6 = 1020;
constexpr int IDC_USAGE_RESET_COOLING_ON = 1034;
constexpr int IDC_USAGE_RESET_INJECTOR_VALVE = 1035;
constexpr int IDC_USAGE_RESET_VENT_VALVE = 1036;
constexpr int IDC_USAGE_RESET_STREAM_SELECT = 1037;
constexpr int IDC_USAGE_RESET_SYRINGE_VALVE = 1038;
constexpr int IDC_USAGE_RESET_SYRINGE = 1039;
constexpr int IDC_USAGE_RESET_POWER_ON = 1040;
constexpr int IDC_USAGE_PISTON_STROKES_1 = 1065;
constexpr int IDC_USAGE_VALVE_ACTUATIONS_1 = 1071;
constexpr int IDC_USAGE_INJECTOR_VALVE = 1077;
constexpr int IDC_USAGE_VENT_VALVE = 1078;
constexpr int IDC_USAGE_STREAM_SELECT = 1079;
constexpr int IDC_USAGE_SYRINGE_VALVE = 1080;
constexpr int IDC_USAGE_SYRINGE = 1081;
constexpr int IDC_USAGE_POWER_ON = 1082;
constexpr int IDC_USAGE_COOLING_ON = 1083;
constexpr int IDC_USAGE_RESET_SELECTED = 1149;

// Configuration page.
constexpr int IDC_CONFIG_PLATE_FEEDER = 1021;
constexpr int IDC_CONFIG_MANUAL_INJECT = 1022;
constexpr int IDC_CONFIG_SERIAL_NUMBER = 1024;
constexpr int IDC_CONFIG_POST_COLUMN = 1025;
constexpr int IDC_CONFIG_SYRINGE_SIZE = 1035;
constexpr int IDC_CONFIG_PUMP_C = 1110;
constexpr int IDC_CONFIG_SAMPLE_TEMP = 1111;
constexpr int IDC_CONFIG_SAMPLE_LOOP = 1130;
constexpr int IDC_CONFIG_NEEDLE_VOLUME = 1131;
constexpr int IDC_CONFIG_TERNARY = 1135;
constexpr int IDC_CONFIG_UPGRADE = 1148;

// Strings of the AutoSampler Service, Silk, Usage and Configuration pages.
constexpr int IDS_SILK_PRESSURE_FORMAT = 3410;
constexpr int IDS_SILK_FILE_FILTER = 3411;
constexpr int IDS_SILK_FOLDER = 3412;
constexpr int IDS_USAGE_COUNT_FORMAT = 3413;
constexpr int IDS_USAGE_HOURS_FORMAT = 3414;
constexpr int IDS_USAGE_UNKNOWN = 3415;
constexpr int IDS_CONFIG_SAMPLE_LOOP_FORMAT = 3416;
constexpr int IDS_CONFIG_NEEDLE_VOLUME_FORMAT = 3417;
constexpr int IDP_PARSE_REAL = 61713;
constexpr int IDP_PARSE_REAL_RANGE = 61715;

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
