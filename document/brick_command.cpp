#include "document/brick_command.h"

#include "resources/resource_ids.h"

void CBrickCommand::GetMenuText(CString& text, BOOL undone)
{
    text.LoadString(undone ? IDS_REDO : IDS_UNDO);
    if (m_nLabel == labelNone)
        return;
    CString name;
    name.LoadString(m_nLabel + 3u);
    CString accelerator;
    accelerator.LoadString(IDS_UNDO_ACCELERATOR);
    text += name;
    text += accelerator;
}
