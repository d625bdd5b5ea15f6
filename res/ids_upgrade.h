#pragma once

// Firmware upgrade wizard: step templates, their controls and strings.
constexpr int IDD_UPGRADE_STEP1 = 145;
constexpr int IDD_UPGRADE_STEP2 = 146;
constexpr int IDD_UPGRADE_STEP3 = 147;

// Step 2: the power-cycle instructions, shown one by one.
constexpr int IDC_TURN_OFF = 1152;
constexpr int IDC_TURN_ON = 1153;
constexpr int IDC_CLICK_NEXT = 1154;

// Step 3: the file, the download's progress and the restart.
constexpr int IDC_DOWNLOAD_PROGRESS = 1150;
constexpr int IDC_BROWSE = 1151;
constexpr int IDC_FIRMWARE_PATH = 1222;
constexpr int IDC_DOWNLOAD_COMPLETE = 1223;

constexpr int IDS_UPGRADE_CAPTION = 6100;
constexpr int IDS_FIRMWARE_FILE_FILTER = 6101;
constexpr int IDS_FIRMWARE_FILE_UNREADABLE = 6102;
constexpr int IDS_NOT_A_FILE = 6103;
constexpr int IDS_UPGRADE_STEP_TITLE = 3850;
