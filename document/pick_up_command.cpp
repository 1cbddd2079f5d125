#include "document/pick_up_command.h"

#include "document/dizado_doc.h"
#include "document/mouse_pane.h"
#include "foundation/notification_codes.h"
#include "model/brick.h"

CPickUpCommand::CPickUpCommand(IMousePane* pane, int x, int y)
    : CBrickCommand(labelNone), m_pPane(pane), m_x(x), m_y(y)
{
}

void CPickUpCommand::Do()
{
    CBrick* brick = nullptr;
    if (!m_pPane->HitTest(POINT{m_x, m_y}, &brick) || !brick)
        return;
    CDizadoDoc* doc = m_pPane->GetMouseDocument();
    doc->SetCurrentColorIndex(brick->GetColorIndex());
    doc->SetCurrentOrientationIndex(brick->GetOrientation());
    doc->SetCurrentBrickType(brick->GetClassId());
    doc->NotifyListeners(NOTIFY_DOC_ORIENTATION_CHANGED, 0);
}
