#pragma once

class CMainFrame;
class COrvixClientView;
class CServiceReportCommand;

// Puts the pressure trace and the event log beside the status view, fed by its refreshes, each
// with a toggle at the end of the View menu. Both start hidden unless the profile says the user
// last showed them; each toggle goes back to the profile at once. Answers File > "Service
// Report...", which reports the trace and the service history the frame holds.
CServiceReportCommand* AddTraceDocks(CMainFrame* frame, COrvixClientView* view);
