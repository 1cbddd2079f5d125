#include "document/erase_brick_command.h"

#include "foundation/notification_codes.h"
#include "foundation/sound_player.h"
#include "model/brick.h"
#include "model/brick_group.h"

CEraseBrickCommand::CEraseBrickCommand(CBrickGroup* root, CBrick* brick)
    : CBrickCommand(labelClear), m_pRoot(root), m_pBrick(brick)
{
}

CEraseBrickCommand::~CEraseBrickCommand()
{
    if (!m_bPresent)
        delete m_pBrick;
}

void CEraseBrickCommand::Do()
{
    PlaySoundEffect("eras");
    Move();
}

void CEraseBrickCommand::Toggle()
{
    CBrickCommand::Toggle();
    Move();
}

void CEraseBrickCommand::Move()
{
    try {
        if (m_bPresent) {
            m_pBrick->Detach();
        } else {
            m_pBrick->SetOwner(m_pRoot);
            // Joining alone repaints nothing; the panes draw the brick again
            // and take it into their extent on the position code.
            m_pBrick->Notify(NOTIFY_POSITION_CHANGED);
        }
    } catch (...) {
        // A listener that throws must not leave the brick owned twice or by no one.
        m_bPresent = m_pBrick->GetOwner() ? TRUE : FALSE;
        throw;
    }
    m_bPresent = m_pBrick->GetOwner() ? TRUE : FALSE;
}
