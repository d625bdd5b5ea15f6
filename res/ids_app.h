#pragma once

// Application shell: document template, main frame, About box.
constexpr int IDR_MAINFRAME = 128; // menu, accelerators, icon and document string
constexpr int IDD_ABOUTBOX = 100;

// The main window's icon shares the document template's id.
constexpr int IDI_MAINFRAME = IDR_MAINFRAME;

// Strings of the application shell.
constexpr int IDP_OLE_INIT_FAILED = 100;
constexpr int IDP_SOCKETS_INIT_FAILED = 104;
