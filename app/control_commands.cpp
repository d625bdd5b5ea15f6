#include "control_commands.h"

#include "about_dlg.h"
#include "change_flow_dlg.h"
#include "diagnostic_sheets.h"
#include "dry_prime_dlg.h"
#include "instrument_forwarder.h"
#include "instrument_server.h"
#include "password_dlg.h"
#include "resource.h"
#include "string_table.h"
#include "wet_prime_dlg.h"

bool CControlCommands::HasCommand(int commandId) const {
    switch (commandId) {
    case ID_APP_ABOUT:
    case ID_CONTROL_RESET_COMMUNICATIONS:
    case ID_CONTROL_CHANGE_FLOW:
    case ID_TOOLBAR_CHANGE_FLOW:
    case ID_CONTROL_DRY_PRIME:
    case ID_CONTROL_WET_PRIME:
    case ID_CONTROL_USER_DIAGNOSTICS:
    case ID_CONTROL_SERVICE_DIAGNOSTICS:
        return true;
    default:
        return false;
    }
}

void CControlCommands::OnCommand(int commandId) {
    switch (commandId) {
    case ID_APP_ABOUT:
        OnAppAbout();
        break;
    case ID_CONTROL_RESET_COMMUNICATIONS:
        OnResetCommunications();
        break;
    case ID_CONTROL_CHANGE_FLOW:
    case ID_TOOLBAR_CHANGE_FLOW:
        OnChangeFlow();
        break;
    case ID_CONTROL_DRY_PRIME:
        OnDryPrime();
        break;
    case ID_CONTROL_WET_PRIME:
        OnWetPrime();
        break;
    case ID_CONTROL_USER_DIAGNOSTICS:
        OnUserDiagnostics();
        break;
    case ID_CONTROL_SERVICE_DIAGNOSTICS:
        OnServiceDiagnostics();
        break;
    default:
        break;
    }
}

void CControlCommands::OnAppAbout() {
    CAboutDlg dlg(m_owner);
    dlg.DoModal();
}

// The menu's reset leaves the error on show; the toolbar's, which the view handles, clears it.
void CControlCommands::OnResetCommunications() {
    g_pServer->InitializeInstrument(kConnectArg1, kConnectArg2);
    RequestServerReconnect(g_pServer);
}

void CControlCommands::OnChangeFlow() {
    CChangeFlowDlg dlg(m_owner);
    dlg.DoModal();
}

void CControlCommands::OnDryPrime() {
    CDryPrimeDlg dlg(m_owner);
    dlg.DoModal();
}

void CControlCommands::OnWetPrime() {
    CWetPrimeDlg dlg(m_owner);
    dlg.DoModal();
}

void CControlCommands::OnUserDiagnostics() {
    CUserConfig sheet(LoadString(IDS_USER_DIAGNOSTICS), m_owner, 0);
    sheet.DoModal();
}

// Only the accepted flag counts, whichever button closed the dialog.
void CControlCommands::OnServiceDiagnostics() {
    CPasswordDlg password(m_owner);
    password.DoModal();
    if (password.GetPasswordAccepted() != 0) {
        CDiagnosticSheet sheet(LoadString(IDS_SERVICE_DIAGNOSTICS), m_owner, 0);
        sheet.DoModal();
    }
}
