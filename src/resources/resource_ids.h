// Resource identifiers shared by the resource script and the code.
#pragma once

// Setup dialog "SETUPDLG". The archive type boxes are 5101 + row of the
// archive type table; the other boxes are 5113 + (flag - 20).
#define IDC_ARCHIVE_FIRST 5101
#define IDC_ARCHIVE_LAST 5112
#define IDC_DESKTOP_LINK 5113
#define IDC_STARTMENU_LINK 5114
#define IDC_PROGRAM_GROUP 5115
#define IDC_SHELL_INTEGRATION 5116
#define IDC_CASCADED_MENUS 5117
#define IDC_MENU_ICONS 5118
#define IDC_SELECT_ALL 5119
#define IDC_EXPLANATION 5120
#define IDC_SETUP_HELP 9

// Completion dialog "DONEDLG".
#define IDC_INSTALL_FOLDER 5101
#define IDC_RUN_VEXORA 5102
#define IDC_READ_HELP 5103
#define IDC_VIEW_LICENSE 5104
#define IDC_PRICE_LIST 5105
#define IDC_HOME_PAGE 5106
#define IDC_THANK_YOU 5107
#define IDC_REMINDER_1 5108
#define IDC_REMINDER_2 5109

// String table.
#define IDS_DISPLAY_NAME 5101
#define IDS_HELP_LINK 5102
#define IDS_MANUAL_LINK 5103
#define IDS_CAPTION 5104
#define IDS_UNINSTALL_COMPLETED 5105
#define IDS_DELETE_MANUALLY 5106
#define IDS_CONFIRM_UNINSTALL 5107
#define IDS_NO_LIST_FILE 5108
#define IDS_VEX_CLASS 5109
#define IDS_ZIP_CLASS 5110
#define IDS_REV_CLASS 5111

// WinHelp context of the setup options.
#define HELP_SETUP_OPTIONS 268
