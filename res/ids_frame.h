#pragma once

// About box controls.
constexpr int IDC_CLIENT_VERSION = 1131;
constexpr int IDC_PUMP_VERSION = 1132;
constexpr int IDC_AUTOSAMPLER_VERSION = 1133;
constexpr int IDOK_BUTTON = 1;

// Main frame resources.
constexpr int IDR_TOOLBAR = 133;
constexpr int ID_SEPARATOR = 0;

// The framework's standard commands.
constexpr int ID_FILE_NEW = 57600;
constexpr int ID_FILE_OPEN = 57601;
constexpr int ID_FILE_SAVE = 57603;
constexpr int ID_FILE_SAVE_AS = 57604;
constexpr int ID_FILE_PRINT_SETUP = 57606;
constexpr int ID_FILE_PRINT = 57607;
constexpr int ID_FILE_PRINT_PREVIEW = 57609;
constexpr int ID_FILE_SEND_MAIL = 57612;
constexpr int ID_FILE_MRU_FILE1 = 57616;
constexpr int ID_EDIT_COPY = 57634;
constexpr int ID_EDIT_CUT = 57635;
constexpr int ID_EDIT_PASTE = 57637;
constexpr int ID_EDIT_UNDO = 57643;
constexpr int ID_APP_ABOUT = 57664;
constexpr int ID_APP_EXIT = 57665;
constexpr int ID_NEXT_PANE = 57680;
constexpr int ID_PREV_PANE = 57681;
constexpr int ID_VIEW_TOOLBAR = 59392;
constexpr int ID_VIEW_STATUS_BAR = 59393;
constexpr int ID_COM_CONNECT = 32776;
constexpr int ID_COM_DISCONNECT = 32777;

// Status bar.
constexpr int ID_INDICATOR_CAPS = 59137;
constexpr int ID_INDICATOR_NUM = 59138;
constexpr int ID_INDICATOR_SCRL = 59139;
constexpr int AFX_IDS_IDLEMESSAGE = 57345;
// The instrument connection pane beside the idle prompt.
constexpr int IDS_CONNECTION_CONNECTED = 3460;
constexpr int IDS_CONNECTION_NOT_ANSWERING = 3461;
constexpr int IDS_CONNECTION_SERVER_GONE = 3462;
constexpr int IDS_CONNECTION_SERVER_UNREACHABLE = 3463;
// The status bar's pane that names the computer of a remote instrument server.
constexpr int IDS_SERVER_HOST = 3900;

// Instrument commands of the Control menu and the toolbar.
constexpr int ID_TOOLBAR_CHANGE_FLOW = 32775;
constexpr int ID_CONTROL_RESET_COMMUNICATIONS = 32808;
constexpr int ID_CONTROL_CHANGE_FLOW = 32809;
constexpr int ID_CONTROL_DRY_PRIME = 32810;
constexpr int ID_CONTROL_WET_PRIME = 32811;
constexpr int ID_CONTROL_USER_DIAGNOSTICS = 32812;
constexpr int ID_CONTROL_SERVICE_DIAGNOSTICS = 32813;

// Captions of the diagnostics sheets.
constexpr int IDS_USER_DIAGNOSTICS = 3200;
constexpr int IDS_SERVICE_DIAGNOSTICS = 3201;
