#include "document/clipboard_command.h"

#include "document/detached_set.h"
#include "document/dizado_doc.h"
#include "foundation/sound_player.h"
#include "model/brick_group.h"

CClipboardCommand::CClipboardCommand(CBrickGroup* root, SHORT code)
    : CBrickCommand(static_cast<WORD>(code - 31)),
      m_pRoot(root),
      m_pSet(new CDetachedSet(root, CDizadOet::modeGroups)),
      m_nCode(code),
      m_bTakesOut(code == codeCut || code == codeClear)
{
    m_pSet->Collect(0);
}

CClipboardCommand::~CClipboardCommand()
{
    if (!m_bPresent)
        m_pSet->DestroyMembers();
    delete m_pSet;
}

void CClipboardCommand::Do()
{
    if (m_nCode == codeCut || m_nCode == codeCopy) {
        // A Cut whose bricks never reached the clipboard would lose them for
        // good once the command is replaced, so it leaves them in the model.
        if (!m_pDocument || !m_pDocument->CopyToClipboard())
            m_bTakesOut = FALSE;
    }
    if (m_bTakesOut) {
        PlaySoundEffect("eras");
        Move();
    }
    SetPerformed(1);
}

void CClipboardCommand::Toggle()
{
    CBrickCommand::Toggle();
    if (m_bTakesOut)
        Move();
}

void CClipboardCommand::Move()
{
    CPaneHold hold(m_pRoot);
    m_pSet->Flip(m_bPresent);
}
