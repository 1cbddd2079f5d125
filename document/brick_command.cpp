#include "document/brick_command.h"

#include "resources/resource_ids.h"

// The labels' texts are strings in label order.
static_assert(IDS_CMD_BACKGROUND - IDS_CMD_CUT == CBrickCommand::labelBackground - CBrickCommand::labelCut);

void CBrickCommand::GetMenuText(CString& text, BOOL undone)
{
    text.LoadString(undone ? IDS_REDO : IDS_UNDO);
    if (m_nLabel == labelNone)
        return;
    CString name;
    name.LoadString(static_cast<UINT>(IDS_CMD_CUT + (m_nLabel - labelCut)));
    CString accelerator;
    accelerator.LoadString(IDS_UNDO_ACCELERATOR);
    text += name;
    text += accelerator;
}
