// Dialogs of the sign-in, the interface settings, the file browser and About:
// template and control ids, and the window styles the resource script needs (the script includes
// no system header, so they are spelt out here).
#ifndef DIZADO_DIALOG_IDS_H
#define DIZADO_DIALOG_IDS_H

#define IDD_SIGNIN 107
#define IDD_SETTINGS 112
#define IDC_SIGNIN_NAMES 627
#define IDC_SIGNIN_NAME 1001
#define IDC_SETTINGS_SOUND 1004
#define IDC_SETTINGS_PRINT 1005
#define IDC_SETTINGS_DELETE 1006

// The file browser: delete (documents only), previous and next row, the
// baseplate toggle (backgrounds only), twelve thumbnails and sixteen colours.
#define IDD_FILE_BROWSER 113
#define IDC_BROWSER_TRASH 1006
#define IDC_BROWSER_UP 1007
#define IDC_BROWSER_DOWN 1008
#define IDC_BROWSER_BASE 1016
#define IDC_BROWSER_THUMB_FIRST 1101
#define IDC_BROWSER_THUMB_COUNT 12
#define IDC_BROWSER_COLOR_FIRST 1209
#define IDC_BROWSER_COLOR_COUNT 16

// The About box: no controls, one picture with timed pages of text.
#define IDD_ABOUT 100

// The system's dialog buttons and the id of a control no code reaches.
#define RC_IDOK 1
#define RC_IDCANCEL 2
#define RC_IDC_STATIC -1

#define RC_WS_POPUP 0x80000000
#define RC_WS_VISIBLE 0x10000000
#define RC_WS_BORDER 0x00800000
#define RC_WS_VSCROLL 0x00200000
#define RC_WS_TABSTOP 0x00010000
#define RC_DS_MODALFRAME 0x80
#define RC_LBS_NOTIFY 0x0001
#define RC_LBS_SORT 0x0002
#define RC_LBS_NOINTEGRALHEIGHT 0x0100
#define RC_BS_OWNERDRAW 0x000B
#define RC_ES_AUTOHSCROLL 0x0080

#endif
