// Sender ids and notification codes. A listener tells codes apart by the
// sender id as well: 1044 means one thing from a group and another from the
// document.
#pragma once

#include "platform/core/types.h"

// Sender ids.
constexpr UINT NOTIFY_ID_LIST = 101;  // every list; in practice the brick groups
constexpr UINT NOTIFY_ID_DOCUMENT = 102;
constexpr UINT NOTIFY_ID_PANE = 103;  // never sends
constexpr UINT NOTIFY_ID_APP = 109;
constexpr UINT NOTIFY_ID_FRAME = 110;  // never sends

// From the application; data 0. Sent on every idle pass.
constexpr UINT NOTIFY_IDLE = 13;

// From a group (101). Data is the brick unless the comment says 0.
constexpr UINT NOTIFY_BRICK_CREATING = 1025;  // data 0
constexpr UINT NOTIFY_BRICK_CREATED = 1026;   // made in a group, or read into it
constexpr UINT NOTIFY_BRICK_JOINING = 1027;   // data 0
constexpr UINT NOTIFY_BRICK_JOINED = 1028;
constexpr UINT NOTIFY_BRICK_DELETING = 1029;
constexpr UINT NOTIFY_BRICK_LEAVING = 1031;
constexpr UINT NOTIFY_BRICK_LEFT = 1032;  // data 0
constexpr UINT NOTIFY_SELECTED_CHANGING = 1033;
constexpr UINT NOTIFY_SELECTED_CHANGED = 1034;
constexpr UINT NOTIFY_POSITION_CHANGING = 1035;
constexpr UINT NOTIFY_POSITION_CHANGED = 1036;
constexpr UINT NOTIFY_CLASS_CHANGING = 1037;
constexpr UINT NOTIFY_CLASS_CHANGED = 1038;
constexpr UINT NOTIFY_COLOR_CHANGING = 1039;
constexpr UINT NOTIFY_COLOR_CHANGED = 1040;
constexpr UINT NOTIFY_POSE_CHANGING = 1041;
constexpr UINT NOTIFY_POSE_CHANGED = 1042;
constexpr UINT NOTIFY_ORIENTATION_CHANGING = 1043;
constexpr UINT NOTIFY_ORIENTATION_CHANGED = 1044;
constexpr UINT NOTIFY_VISIBLE_CHANGING = 1045;
constexpr UINT NOTIFY_VISIBLE_CHANGED = 1046;
constexpr UINT NOTIFY_SELECTABLE_CHANGING = 1047;
constexpr UINT NOTIFY_SELECTABLE_CHANGED = 1048;
constexpr UINT NOTIFY_MOVEABLE_CHANGING = 1049;
constexpr UINT NOTIFY_MOVEABLE_CHANGED = 1050;
constexpr UINT NOTIFY_COLORABLE_CHANGING = 1051;
constexpr UINT NOTIFY_COLORABLE_CHANGED = 1052;
constexpr UINT NOTIFY_BRICK_BROADCAST = 1055;  // one per brick below a group, to repaint them
constexpr UINT NOTIFY_OWNER_REQUEST = 1056;    // data: pointer to the group's owner value
constexpr UINT NOTIFY_HOLD_REBUILD = 1057;     // data: pointer to a BOOL, FALSE opens, TRUE closes
constexpr UINT NOTIFY_HOLD_EXTENT = 1058;      // data: as for the rebuild hold
constexpr UINT NOTIFY_ROOT_DESTROYING = 1059;  // data 0

// From the document (102); data 0.
constexpr UINT NOTIFY_DOC_ORIENTATION_CHANGED = 1044;
constexpr UINT NOTIFY_DOC_CLASS_CHANGED = 1065;
constexpr UINT NOTIFY_DOC_BKCOLOR_CHANGING = 1074;
constexpr UINT NOTIFY_DOC_BKCOLOR_CHANGED = 1075;
constexpr UINT NOTIFY_DOC_BKPICTURE_CHANGING = 1076;
constexpr UINT NOTIFY_DOC_BKPICTURE_CHANGED = 1077;
constexpr UINT NOTIFY_DOC_BKTILE_CHANGING = 1078;
constexpr UINT NOTIFY_DOC_BKTILE_CHANGED = 1079;
