#pragma once

// Operator dialogs: Change Flow, Wet Prime, Dry Prime, Plate Type, Enter Password.
constexpr int IDD_CHANGE_FLOW = 135;
constexpr int IDD_WET_PRIME = 136;
constexpr int IDD_DRY_PRIME = 144;
constexpr int IDD_PLATE_TYPE = 103;
constexpr int IDD_PASSWORD = 1219;

// Change Flow. The fourth row holds percent C, or the post-column flow when pump C is not in
// the gradient.
constexpr int IDC_CHANGE_FLOW_RATE = 1004;
constexpr int IDC_CHANGE_FLOW_PERCENT_A = 1012;
constexpr int IDC_CHANGE_FLOW_PERCENT_B = 1013;
constexpr int IDC_CHANGE_FLOW_THIRD = 1014;
constexpr int IDC_CHANGE_FLOW_THIRD_UNIT = 1117;
constexpr int IDC_CHANGE_FLOW_POST_COLUMN = 1122;

// Reservoir of pump A, shared by both prime dialogs.
constexpr int IDC_PRIME_RESERVOIR_A1 = 1220;
constexpr int IDC_PRIME_RESERVOIR_A2 = 1039;
constexpr int IDC_PRIME_RESERVOIR_A3 = 1040;

// Wet Prime.
constexpr int IDC_WET_PRIME_PUMP_A = 1114;
constexpr int IDC_WET_PRIME_PUMP_B = 1115;
constexpr int IDC_WET_PRIME_PUMP_C = 1116;
constexpr int IDC_WET_PRIME_VOLUMES = 1017;

// Dry Prime.
constexpr int IDC_DRY_PRIME_PUMP_A = 1155;
constexpr int IDC_DRY_PRIME_PUMP_B = 1037;
constexpr int IDC_DRY_PRIME_PUMP_C = 1038;
constexpr int IDC_DRY_PRIME_CYCLES = 1017;
constexpr int IDC_DRY_PRIME_START = 1176;
constexpr int IDC_DRY_PRIME_STOP = 1177;

// Plate Type and Enter Password.
constexpr int IDC_PLATE_TYPE_LIST = 1002;
constexpr int IDC_PASSWORD_EDIT = 1219;

// Buttons every dialog template shares.
constexpr int IDC_DIALOG_OK = 1;
constexpr int IDC_DIALOG_CANCEL = 2;

// Strings of the operator dialogs.
constexpr int IDP_COMPOSITION_SUM = 61447;
constexpr int IDP_FLOW_RANGE = 61449;
constexpr int IDP_PARSE_INT = 61712;
constexpr int IDS_INVALID_PASSWORD = 2000;
