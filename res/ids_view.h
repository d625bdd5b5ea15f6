#pragma once

// Status view: its form, controls, the command it handles and its strings.
constexpr int IDD_ORVIXCLIENT_FORM = 101;

// Form controls.
constexpr int IDC_EXCHANGE_PLATE = 1000;
constexpr int IDC_HOME_PLATE = 1001;
constexpr int IDC_PRESSURE = 1003;
constexpr int IDC_FLOW_RATE = 1004;
constexpr int IDC_INJECT_VALVE = 1005;
constexpr int IDC_STREAM_VALVE = 1006;
constexpr int IDC_VENT_VALVE = 1007;
constexpr int IDC_COLUMN_ACTUAL = 1008;
constexpr int IDC_SAMPLE_ACTUAL = 1009;
constexpr int IDC_SAMPLE_SET = 1010;
constexpr int IDC_COLUMN_SET = 1011;
constexpr int IDC_COMPOSITION_A = 1012;
constexpr int IDC_COMPOSITION_B = 1013;
constexpr int IDC_COMPOSITION_C = 1014;
constexpr int IDC_STATUS = 1015;
constexpr int IDC_STATE = 1016;
constexpr int IDC_ERRORS = 1017;
constexpr int IDC_FEEDER2_HOME = 1023;
constexpr int IDC_FEEDER1_NEXT = 1084;
constexpr int IDC_FEEDER1_HOME = 1085;
constexpr int IDC_FEEDER2_NEXT = 1086;
constexpr int IDC_SAMPLE_LABEL = 1113;
constexpr int IDC_AUX_PRESSURE = 1136;
constexpr int IDC_AUX_FLOW_RATE = 1137;

// Toolbar command.
constexpr int ID_RESET_COMMUNICATIONS = 32806;

// Display formats (printf conventions) and valve texts of the status refresh.
constexpr int IDS_PRESSURE_FORMAT = 3100;
constexpr int IDS_FLOW_RATE_FORMAT = 3101;
constexpr int IDS_COMPOSITION_A_FORMAT = 3102;
constexpr int IDS_COMPOSITION_B_FORMAT = 3103;
constexpr int IDS_COMPOSITION_C_FORMAT = 3104;
constexpr int IDS_TEMPERATURE_FORMAT = 3105;
constexpr int IDS_INJECT_VALVE_INJECT = 3106;
constexpr int IDS_INJECT_VALVE_LOAD = 3107;
constexpr int IDS_STREAM_VALVE_POSITION_1 = 3108;
constexpr int IDS_STREAM_VALVE_POSITION_2 = 3109;
constexpr int IDS_VENT_VALVE_VENT = 3110;
constexpr int IDS_VENT_VALVE_SYSTEM = 3111;
