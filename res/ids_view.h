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

// Test menu commands, each trying one server operation with fixed arguments.
constexpr int ID_TEST_GET_SEPARATION_METHOD = 32779;
constexpr int ID_TEST_CHANGE_FLOW = 32780;
constexpr int ID_TEST_CONDITION_COLUMN = 32781;
constexpr int ID_TEST_EQUILIBRATE = 32782;
constexpr int ID_TEST_GET_INSTRUMENT_CONFIGURATION = 32783;
constexpr int ID_TEST_GO_TO_INITIAL_CONDITIONS = 32785;
constexpr int ID_TEST_HOLD_AND_RESUME_FLOW = 32786;
constexpr int ID_TEST_INITIALIZE_INSTRUMENT = 32787;
constexpr int ID_TEST_LAUNCH_DIAGNOSTICS = 32788;
constexpr int ID_TEST_PERFORM_INJECTION = 32789;
constexpr int ID_TEST_PERFORM_TRIGGER = 32790;
constexpr int ID_TEST_READ_ALL_DATA = 32791;
constexpr int ID_TEST_READ_ALL_ERRORS = 32792;
constexpr int ID_TEST_READ_STATUS = 32793;
constexpr int ID_TEST_SET_PLATE_CONFIGURATION = 32794;
constexpr int ID_TEST_SET_RUN_ACTIVE_LED = 32795;
constexpr int ID_TEST_SET_SEPARATION_METHOD = 32796;
constexpr int ID_TEST_WET_PRIME_SYSTEM = 32797;
constexpr int ID_TEST_EXCHANGE_SAMPLE_PLATE = 32798;
constexpr int ID_TEST_MOVE_LIFT = 32799;
constexpr int ID_TEST_SET_INSTRUMENT_CONFIGURATION = 32800;
constexpr int ID_TEST_MOVE_FEEDER = 32801;

// Texts of the Test commands: the set point format, the file that ReadAllData appends to, and
// why writing it failed.
constexpr int IDS_SET_POINT_FORMAT = 3120;
constexpr int IDS_DATA_FILE_PATH = 3121;
constexpr int IDS_DATA_FILE_WRITE_FAILED = 3122;
constexpr int IDS_DATA_FILE_IN_USE = 3123;
