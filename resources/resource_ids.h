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

#endif
