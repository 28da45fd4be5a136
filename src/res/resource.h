// Resource ids of the program, by kind. Shared by the .rc file and the code;
// plain #defines only, so that the resource compiler can read it.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Icons and bitmaps
#define IDR_MAINFRAME 128
#define IDB_ICONSTRIP 131
#define IDB_ICONMASK  132
// The same strip drawn at twice the size, for 144 DPI and above
#define IDB_ICONSTRIP2X 141
#define IDB_ICONMASK2X  142

// Dialogs
#define IDD_MAIN           102
#define IDD_EDIT_ITEM      129
#define IDD_EDIT_COMMAND   134
#define IDD_USER_INPUT     135
#define IDD_OPTIONS        136
#define IDD_PASSWORD_INPUT 137
#define IDD_IMPORT         138

// Main window (IDD_MAIN); system menu ids are multiples of 16 below 0xF000
#define IDC_HOST_LIST    1007
#define IDC_FIND_TEXT    1009
#define IDM_IMPORT_HOSTS 0x0110

// Host editor (IDD_EDIT_ITEM)
#define IDC_ENTRY_LIST        1000
#define IDC_HOST_TITLE        1002
#define IDC_LINK              1004
#define IDC_HOST_ICON         1010
#define IDC_HOST_NAME         1039
#define IDC_ENTRY_DOWN        1045
#define IDC_ENTRY_UP          1046
#define IDC_ENTRY_DELETE      1047
#define IDC_ENTRY_ADD         1048
#define IDC_TEMPLATE_HOSTNAME 1050
#define IDC_TEMPLATE_ADD      1051
#define IDC_TEMPLATE_DRIVES   1052
#define IDC_BACKGROUND_COLOUR 1064
#define IDC_COLOUR_SWATCH     1065

// Entry editor (IDD_EDIT_COMMAND)
#define IDC_ENTRY_NAME            1002
#define IDC_URL                   1004
#define IDC_PARAMS                1006
#define IDC_ENTRY_ICON            1008
#define IDC_COMMAND               1042
#define IDC_CONFIRM               1043
#define IDC_BOLD                  1049
#define IDC_KIND_TEMPLATE         1054
#define IDC_KIND_CUSTOM           1055
#define IDC_ENTRY_DRIVES          1056
#define IDC_ENTRY_TEMPLATE_HOST   1057
#define IDC_KIND_SEPARATOR        1059
#define IDC_KIND_URL              1060
#define IDC_USE_ALTERNATE_BROWSER 1061
#define IDC_URL_NAME              1063

// Input prompts (IDD_USER_INPUT, IDD_PASSWORD_INPUT)
#define IDC_INPUT_TEXT 1053
// Password Input only: the line above the field, the box below it
#define IDC_PASSWORD_NOTICE   1090
#define IDC_REMEMBER_PASSWORD 1091

// Options (IDD_OPTIONS)
#define IDC_HIDE_TASKBAR_BUTTON    1058
#define IDC_ALTERNATE_BROWSER_PATH 1062
#define IDC_RDP_HEIGHT             1066
#define IDC_RDP_WIDTH              1067
#define IDC_HOTKEY                 1068

// Import hosts (IDD_IMPORT)
#define IDC_IMPORT_FROM_FILE      1070
#define IDC_IMPORT_FILE           1071
#define IDC_IMPORT_BROWSE         1072
#define IDC_IMPORT_FROM_DIRECTORY 1073
#define IDC_IMPORT_ADDRESS        1074
#define IDC_IMPORT_SIGN_IN        1075
#define IDC_IMPORT_USER           1076
#define IDC_IMPORT_PASSWORD       1077
#define IDC_IMPORT_READ           1078
#define IDC_IMPORT_LIST           1079
#define IDC_IMPORT_STATUS         1080
#define IDC_IMPORT_ICON           1081
#define IDC_IMPORT_TEMPLATE       1082
