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
// The About box's picture (a "BRICKIMAGE").
#define IDB_ABOUT 105

#endif
