// Ids of the program's resources, shared by the resource script and the code.
// Only preprocessor definitions: the resource compiler reads this file too.
#ifndef DIZADO_RESOURCE_IDS_H
#define DIZADO_RESOURCE_IDS_H

// Edit menu texts of the brick commands: command label + 3.
#define IDS_CMD_CUT 4
#define IDS_CMD_COPY 5
#define IDS_CMD_PASTE 6
#define IDS_CMD_CLEAR 7
#define IDS_CMD_MOVE 8
#define IDS_CMD_ADD 9
#define IDS_CMD_COLOR 10
#define IDS_CMD_ROTATE 11
#define IDS_CMD_DUPLICATE 12
#define IDS_CMD_GROUP 13
#define IDS_CMD_UNGROUP 14
#define IDS_CMD_BACKGROUND 15
#define IDS_UNDO 16
#define IDS_REDO 17
#define IDS_UNDO_ACCELERATOR 18

#define IDS_OLE_INIT_FAILED 100
#define IDS_HELP_FILE 723
#define IDS_NO_BITMAP_MEMORY 724

// "REGION" masks: the isometric pane's brick outline, and the built-in brick
// class's mask (the same outline).
#define IDR_PANE_REGION 10
#define IDR_BUILTIN_REGION 103

// The shared palette (type "MYPALETTE").
#define IDR_PALETTE 100

// The built-in brick class, a 1 x 1 plate: its class and preview ids, its one
// orientation record and its picture.
#define IDC_BUILTIN_CLASS 1030
#define IDR_BUILTIN_ORIENTATION 100
#define IDB_BUILTIN_BRICK 102

// "BRICKIMAGE" pictures of one baseplate cell with its stud.
#define IDB_STUD 100
#define IDB_BASEPLATE_STUD 107

// Group cursors of the tools: select and move, paint, new brick, erase, and
// any other tool.
#define IDC_TOOL_SELECT 110
#define IDC_TOOL_PAINT 105
#define IDC_TOOL_NEW_BRICK 106
#define IDC_TOOL_ERASE 108
#define IDC_TOOL_OTHER 109

// Names of the twelve brick colours, in colour order.
#define IDS_COLOR_FIRST 700
#define IDS_COLOR_RED 700
#define IDS_COLOR_GREEN 701
#define IDS_COLOR_BLUE 702
#define IDS_COLOR_YELLOW 703
#define IDS_COLOR_WHITE 704
#define IDS_COLOR_GRAY 705
#define IDS_COLOR_BLACK 706
#define IDS_COLOR_BROWN 707
#define IDS_COLOR_PURPLE 708
#define IDS_COLOR_PINK 709
#define IDS_COLOR_LT_BLUE 710
#define IDS_COLOR_LT_GREEN 711

// Kid frame and sign-in. Picture buttons: normal and pressed bitmaps;
// backdrop tiles: "BRICKIMAGE" bitmap file images; the frame's resource id
// (menu, accelerators, icon, title string).
// Tools, 48 by 48
#define IDB_TOOL_SELECT 2000
#define IDB_TOOL_SELECT_PRESSED 2001
#define IDB_TOOL_PAINT 2002
#define IDB_TOOL_PAINT_PRESSED 2003
#define IDB_TOOL_NEW_BRICK 2004
#define IDB_TOOL_NEW_BRICK_PRESSED 2005
#define IDB_TOOL_ERASE 2006
#define IDB_TOOL_ERASE_PRESSED 2007

// Colours, 24 by 24, in colour order: normal 1001 + i, pressed 1013 + i
#define IDB_COLOR_FIRST 1001
#define IDB_COLOR_PRESSED_FIRST 1013
#define IDB_COLOR_RED 1001
#define IDB_COLOR_RED_PRESSED 1013
#define IDB_COLOR_GREEN 1002
#define IDB_COLOR_GREEN_PRESSED 1014
#define IDB_COLOR_BLUE 1003
#define IDB_COLOR_BLUE_PRESSED 1015
#define IDB_COLOR_YELLOW 1004
#define IDB_COLOR_YELLOW_PRESSED 1016
#define IDB_COLOR_WHITE 1005
#define IDB_COLOR_WHITE_PRESSED 1017
#define IDB_COLOR_GRAY 1006
#define IDB_COLOR_GRAY_PRESSED 1018
#define IDB_COLOR_BLACK 1007
#define IDB_COLOR_BLACK_PRESSED 1019
#define IDB_COLOR_BROWN 1008
#define IDB_COLOR_BROWN_PRESSED 1020
#define IDB_COLOR_PURPLE 1009
#define IDB_COLOR_PURPLE_PRESSED 1021
#define IDB_COLOR_PINK 1010
#define IDB_COLOR_PINK_PRESSED 1022
#define IDB_COLOR_LT_BLUE 1011
#define IDB_COLOR_LT_BLUE_PRESSED 1023
#define IDB_COLOR_LT_GREEN 1012
#define IDB_COLOR_LT_GREEN_PRESSED 1024

// File buttons, 50 by 28
#define IDB_FILE_NEW 3002
#define IDB_FILE_NEW_PRESSED 3003
#define IDB_FILE_OPEN 3008
#define IDB_FILE_OPEN_PRESSED 3009
#define IDB_FILE_SAVE 3010
#define IDB_FILE_SAVE_PRESSED 3011
#define IDB_FILE_EXIT 3012
#define IDB_FILE_EXIT_PRESSED 3013

// Bottom row, 45 by 45
#define IDB_PRINT 3020
#define IDB_PRINT_PRESSED 3021
#define IDB_UNDO 3014
#define IDB_UNDO_PRESSED 3015
#define IDB_BACKGROUND 2026
#define IDB_BACKGROUND_PRESSED 2027
#define IDB_MOVE_BACK_LEFT 2010
#define IDB_MOVE_BACK_LEFT_PRESSED 2011
#define IDB_MOVE_UP 2012
#define IDB_MOVE_UP_PRESSED 2013
#define IDB_MOVE_BACK_RIGHT 2016
#define IDB_MOVE_BACK_RIGHT_PRESSED 2015
#define IDB_TURN_LEFT 2017
#define IDB_TURN_LEFT_PRESSED 2028
#define IDB_MOVE_FRONT_LEFT 2018
#define IDB_MOVE_FRONT_LEFT_PRESSED 2019
#define IDB_MOVE_DOWN 2020
#define IDB_MOVE_DOWN_PRESSED 2021
#define IDB_MOVE_FRONT_RIGHT 2022
#define IDB_MOVE_FRONT_RIGHT_PRESSED 2023
#define IDB_TURN_RIGHT 2024
#define IDB_TURN_RIGHT_PRESSED 2025

// Brick list paging, 64 by 32
#define IDB_LIST_UP 3016
#define IDB_LIST_UP_PRESSED 3017
#define IDB_LIST_DOWN 3018
#define IDB_LIST_DOWN_PRESSED 3019

// OK and Cancel of the sign-in dialog and the file browser, 48 by 32
#define IDB_SIGNIN_OK 3004
#define IDB_SIGNIN_OK_PRESSED 3005
#define IDB_SIGNIN_CANCEL 3006
#define IDB_SIGNIN_CANCEL_PRESSED 3007

// Backdrop tiles, bitmap file images
#define IDB_FRAME_BACKDROP 104
#define IDB_SIGNIN_BACKDROP 106

// The frame's icon
#define IDR_MAINFRAME 2

// File browser and About.
// The browser's buttons (bitmaps, normal and pressed): delete, previous row,
// next row; colour button i (0 .. 15) shows 4000 + 2i and, chosen, 4001 + 2i.
// Its thumbnails of no picture and of an empty place are the bitmaps named
// "BLACK" and "BLANK".
#define IDB_TRASH 3022
#define IDB_TRASH_DOWN 3023
#define IDB_ROW_UP 3024
#define IDB_ROW_UP_DOWN 3025
#define IDB_ROW_DOWN 3026
#define IDB_ROW_DOWN_DOWN 3027
#define IDB_BROWSER_COLOR_FIRST 4000
#define IDB_BROWSER_COLOR_COUNT 16
// The About box's picture (a "BRICKIMAGE"), its number of pages and the
// first page's text (the others follow it).
#define IDB_ABOUT 105
#define IDS_ABOUT_PAGE_COUNT 500
#define IDS_ABOUT_PAGE_FIRST 501

// Commands of the kid frame's buttons, menu and accelerators, of the
// embedded-server menu and of the in-place toolbar; the command ids the views
// take as update hints, too. The class library's own commands keep the
// values it gives them (the code ties the two with static_asserts).
#define IDM_TOGGLE_TOOL 500
#define IDM_TOOL_SELECT 600
#define IDM_TOOL_PAINT 601
#define IDM_TOOL_NEW_BRICK 602
#define IDM_TOOL_ERASE 603
#define IDM_MOVE_BACK_LEFT 604
#define IDM_MOVE_UP 605
#define IDM_MOVE_BACK_RIGHT 606
#define IDM_TURN_LEFT 607
#define IDM_MOVE_FRONT_LEFT 608
#define IDM_MOVE_DOWN 609
#define IDM_MOVE_FRONT_RIGHT 610
#define IDM_TURN_RIGHT 611
#define IDM_COLOR_FIRST 612
#define IDM_COLOR_LAST 623
#define IDM_LIST_PAGE_UP 624
#define IDM_LIST_PAGE_DOWN 625
#define IDM_BRICK_LIST 626
#define IDM_SELECT_ALL 32771
#define IDM_SELECT_NONE 32772
#define IDM_DUPLICATE 32773
#define IDM_GROUP 32774
#define IDM_UNGROUP 32775
#define IDM_SHOW_BASEPLATE 32777
#define IDM_SHOW_MULTIVIEW 32778
#define IDM_BACKGROUND 32779
#define IDM_PREFERENCES 32780
#define IDM_TOGGLE_MENU_BAR 32781
#define IDM_PRINT_PARTS 32782
#define IDM_PRINT_PLANS 32783
#define IDM_PRINT_PREVIEW_PARTS 32784
#define IDM_PRINT_PREVIEW_PLANS 32785
#define IDM_FILE_NEW 57600
#define IDM_FILE_OPEN 57601
#define IDM_FILE_SAVE 57603
#define IDM_FILE_SAVE_AS 57604
#define IDM_FILE_PRINT_SETUP 57606
#define IDM_FILE_PRINT 57607
#define IDM_FILE_PRINT_PREVIEW 57609
#define IDM_FILE_MRU_FIRST 57616
#define IDM_FILE_MRU_LAST 57631
#define IDM_EDIT_CLEAR 57632
#define IDM_EDIT_COPY 57634
#define IDM_EDIT_CUT 57635
#define IDM_EDIT_PASTE 57637
#define IDM_EDIT_UNDO 57643
#define IDM_APP_ABOUT 57664
#define IDM_APP_EXIT 57665
#define IDM_HELP_INDEX 57666
#define IDM_HELP_USING 57668
#define IDM_CONTEXT_HELP 57669
#define IDM_HELP 57670
#define IDM_DEFAULT_HELP 57671
#define IDM_NEXT_PANE 57680
#define IDM_PREV_PANE 57681

// In-place editing: the toolbar's button images.
#define IDB_INPLACE_TOOLBAR 4

// Menus and accelerators of a model opened from a container in a window of
// its own, and of one edited in place.
#define IDR_SRVR_EMBEDDED 5
#define IDR_SRVR_INPLACE 4

#endif
