#include "frame_resources.h"

#include "resource.h"

const std::vector<MenuResource>& MainMenuResource() {
    static const std::vector<MenuResource> kMenus{
        {QStringLiteral("&File"),
         true,
         {{ID_FILE_SERVICE_REPORT, QStringLiteral("Service &Report...")},
          {ID_SEPARATOR, {}},
          {ID_APP_EXIT, QStringLiteral("E&xit")}}},
        // The edit popup is greyed as a whole: none of these can be reached.
        {QStringLiteral("&Edit"),
         false,
         {{ID_EDIT_UNDO, QStringLiteral("&Undo\tCtrl+Z")},
          {ID_SEPARATOR, {}},
          {ID_EDIT_CUT, QStringLiteral("Cu&t\tCtrl+X")},
          {ID_EDIT_COPY, QStringLiteral("&Copy\tCtrl+C")},
          {ID_EDIT_PASTE, QStringLiteral("&Paste\tCtrl+V")},
          {ID_SEPARATOR, {}},
          {ID_FILE_NEW, QStringLiteral("&New\tCtrl+N")},
          {ID_FILE_OPEN, QStringLiteral("&Open...\tCtrl+O")},
          {ID_FILE_SAVE, QStringLiteral("&Save\tCtrl+S")},
          {ID_FILE_SAVE_AS, QStringLiteral("Save &As...")},
          {ID_SEPARATOR, {}},
          {ID_FILE_PRINT, QStringLiteral("&Print...\tCtrl+P")},
          {ID_FILE_PRINT_PREVIEW, QStringLiteral("Print Pre&view")},
          {ID_FILE_PRINT_SETUP, QStringLiteral("P&rint Setup...")},
          {ID_SEPARATOR, {}},
          {ID_FILE_SEND_MAIL, QStringLiteral("Sen&d...")},
          {ID_SEPARATOR, {}},
          {ID_FILE_MRU_FILE1, QStringLiteral("Recent File")}}},
        {QStringLiteral("&View"),
         true,
         {{ID_VIEW_TOOLBAR, QStringLiteral("&Toolbar")},
          {ID_VIEW_STATUS_BAR, QStringLiteral("&Status Bar")}}},
        {QStringLiteral("Control"),
         true,
         {{ID_CONTROL_RESET_COMMUNICATIONS, QStringLiteral("Reset Communications")},
          {ID_SEPARATOR, {}},
          {ID_CONTROL_CHANGE_FLOW, QStringLiteral("Change Flow...")},
          {ID_SEPARATOR, {}},
          {ID_CONTROL_DRY_PRIME, QStringLiteral("Dry Prime...")},
          {ID_CONTROL_WET_PRIME, QStringLiteral("Wet Prime...")},
          {ID_SEPARATOR, {}},
          {ID_CONTROL_USER_DIAGNOSTICS, QStringLiteral("User Diagnostics...")},
          {ID_CONTROL_SERVICE_DIAGNOSTICS, QStringLiteral("Service Diagnostics...")}}},
        {QStringLiteral("&Help"), true, {{ID_APP_ABOUT, QStringLiteral("&About Orvix Client...")}}},
        // Each entry tries one server operation with fixed arguments; MoveFeeder has no handler.
        {QStringLiteral("Test"),
         true,
         {{ID_TEST_CHANGE_FLOW, QStringLiteral("ChangeFlow")},
          {ID_TEST_CONDITION_COLUMN, QStringLiteral("ConditionColumn")},
          {ID_TEST_EQUILIBRATE, QStringLiteral("Equilibrate")},
          {ID_TEST_EXCHANGE_SAMPLE_PLATE, QStringLiteral("ExchangeSamplePlate")},
          {ID_TEST_GET_INSTRUMENT_CONFIGURATION, QStringLiteral("GetInstrumentConfiguration")},
          {ID_TEST_GET_SEPARATION_METHOD, QStringLiteral("Get Separation Method")},
          {ID_TEST_GO_TO_INITIAL_CONDITIONS, QStringLiteral("GoToInitialConditions")},
          {ID_TEST_HOLD_AND_RESUME_FLOW, QStringLiteral("HoldAndResumeFlow")},
          {ID_TEST_INITIALIZE_INSTRUMENT, QStringLiteral("InitializeInstrument")},
          {ID_TEST_LAUNCH_DIAGNOSTICS, QStringLiteral("LaunchDiagnostics")},
          {ID_TEST_MOVE_FEEDER, QStringLiteral("MoveFeeder")},
          {ID_TEST_MOVE_LIFT, QStringLiteral("MoveLift")},
          {ID_TEST_PERFORM_INJECTION, QStringLiteral("PerformInjection")},
          {ID_TEST_PERFORM_TRIGGER, QStringLiteral("PerformTrigger")},
          {ID_TEST_READ_ALL_DATA, QStringLiteral("ReadAllData")},
          {ID_TEST_READ_ALL_ERRORS, QStringLiteral("ReadAllErrors")},
          {ID_TEST_READ_STATUS, QStringLiteral("ReadStatus")},
          {ID_TEST_SET_INSTRUMENT_CONFIGURATION, QStringLiteral("SetInstrumentConfiguration")},
          {ID_TEST_SET_PLATE_CONFIGURATION, QStringLiteral("SetPlateConfiguration")},
          {ID_TEST_SET_RUN_ACTIVE_LED, QStringLiteral("SetRunActiveLed")},
          {ID_TEST_SET_SEPARATION_METHOD, QStringLiteral("SetSeparationMethod")},
          {ID_TEST_WET_PRIME_SYSTEM, QStringLiteral("WetPrimeSystem")}}},
        // Greyed as a whole, so its entries can never be reached.
        {QStringLiteral("COM"),
         false,
         {{ID_COM_CONNECT, QStringLiteral("Connect")},
          {ID_COM_DISCONNECT, QStringLiteral("Disconnect")}}},
    };
    return kMenus;
}

const std::vector<ToolbarButtonResource>& ToolbarResource() {
    static const std::vector<ToolbarButtonResource> kButtons{
        {ID_RESET_COMMUNICATIONS, QStringLiteral(":/toolbar/reset_communications.svg")},
        {ID_SEPARATOR, {}},
        {ID_TOOLBAR_CHANGE_FLOW, QStringLiteral(":/toolbar/change_flow.svg")},
        {ID_SEPARATOR, {}},
        {ID_CONTROL_DRY_PRIME, QStringLiteral(":/toolbar/dry_prime.svg")},
        {ID_CONTROL_WET_PRIME, QStringLiteral(":/toolbar/wet_prime.svg")},
        {ID_SEPARATOR, {}},
        {ID_CONTROL_USER_DIAGNOSTICS, QStringLiteral(":/toolbar/user_diagnostics.svg")},
        {ID_CONTROL_SERVICE_DIAGNOSTICS, QStringLiteral(":/toolbar/service_diagnostics.svg")},
    };
    return kButtons;
}

const std::vector<AcceleratorResource>& AcceleratorResourceTable() {
    static const std::vector<AcceleratorResource> kAccelerators{
        {QKeySequence(Qt::CTRL | Qt::Key_N), ID_FILE_NEW},
        {QKeySequence(Qt::CTRL | Qt::Key_O), ID_FILE_OPEN},
        {QKeySequence(Qt::CTRL | Qt::Key_S), ID_FILE_SAVE},
        {QKeySequence(Qt::CTRL | Qt::Key_P), ID_FILE_PRINT},
        {QKeySequence(Qt::CTRL | Qt::Key_Z), ID_EDIT_UNDO},
        {QKeySequence(Qt::CTRL | Qt::Key_X), ID_EDIT_CUT},
        {QKeySequence(Qt::CTRL | Qt::Key_C), ID_EDIT_COPY},
        {QKeySequence(Qt::CTRL | Qt::Key_V), ID_EDIT_PASTE},
        {QKeySequence(Qt::ALT | Qt::Key_Backspace), ID_EDIT_UNDO},
        {QKeySequence(Qt::SHIFT | Qt::Key_Delete), ID_EDIT_CUT},
        {QKeySequence(Qt::CTRL | Qt::Key_Insert), ID_EDIT_COPY},
        {QKeySequence(Qt::SHIFT | Qt::Key_Insert), ID_EDIT_PASTE},
        {QKeySequence(Qt::Key_F6), ID_NEXT_PANE},
        {QKeySequence(Qt::SHIFT | Qt::Key_F6), ID_PREV_PANE},
    };
    return kAccelerators;
}

const std::vector<int>& StatusBarIndicators() {
    static const std::vector<int> kIndicators{ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM,
                                              ID_INDICATOR_SCRL};
    return kIndicators;
}
