#pragma once

// Resource ids of the program: dialog templates, controls, commands, strings, images. Each
// subsystem keeps its ids in its own header; this one gathers them.
#include "ids_app.h"
#include "ids_diagnostics.h"
#include "ids_frame.h"
#include "ids_view.h"
#include "ids_history.h"
#include "ids_trace.h"
#include "ids_dialogs.h"
#include "ids_upgrade.h"
#include "ids_report.h"
