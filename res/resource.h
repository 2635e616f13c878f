#pragma once

// Resource identifiers. Included by the resource scripts and the C++ code.

// Dialogs
#define IDD_ABOUTBOX                100
#define IDD_SONGLARK_DIALOG         102
#define IDD_OPTIONS                 129
#define IDD_ACCEL_OPTION            133

// Strings
#define IDS_ABOUTBOX                101
#define IDP_SOCKETS_INIT_FAILED     103

// Icon, bitmap, menu
#define IDR_MAINFRAME               128
#define IDB_STATUS_GLYPHS           131
#define IDR_TRAY_MENU               132

// Main dialog controls
#define IDC_SONG                    1002
#define IDC_LYRIC                   1005
#define IDC_SONG_LIST               1007
#define IDC_ARTIST                  1008
#define IDC_OPTIONS                 1009
#define IDC_DELETE_LYRIC            1013
#define IDC_TO_CLIPBOARD            1014
#define IDC_EDIT_LYRIC              1015
#define IDC_ABOUT                   1016
#define IDC_START_ACCEL             1017
#define IDC_ACCEL_OPTION            1018

// Options dialog controls
#define IDC_CHECK_LIMEWIRE          1010
#define IDC_LIMEWIRE_PATH           1011
#define IDC_BROWSE_LIMEWIRE         1012
#define IDC_CHECK_KAZAA             1013
#define IDC_KAZAA_PATH              1014
#define IDC_BROWSE_KAZAA            1015

// Accelerator option dialog controls
#define IDC_ACCEL_APPLY             1002
#define IDC_FILE_LIMIT              1003
#define IDC_CYCLE_SECONDS           1004
#define IDC_ITEM_SECONDS            1005
#define IDC_LIMIT_FILES             1006
#define IDC_SHUTDOWN_WHEN_DONE      1007
#define IDC_ACCEL_CLOSE             1014

// Tray menu commands
#define ID_TRAY_EXIT                32772
#define ID_TRAY_ABOUT               32773
#define ID_TRAY_SHOW                32777
#define ID_TRAY_HIDE                32778

// System menu item
#define IDM_ABOUTBOX                0x0010

#ifndef IDC_STATIC
#define IDC_STATIC                  (-1)
#endif
