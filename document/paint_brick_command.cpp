#include "document/paint_brick_command.h"

#include <utility>

#include "foundation/sound_player.h"
#include "model/brick.h"

CPaintBrickCommand::CPaintBrickCommand(CBrick* brick, LONG colour)
    : CBrickCommand(labelColor), m_pBrick(brick), m_nOtherColor(brick->GetColorIndex()), m_nColor(colour)
{
}

void CPaintBrickCommand::Do()
{
    PlaySoundEffect("buck");
    m_pBrick->ChangeColor(m_nColor);
    std::swap(m_nColor, m_nOtherColor);
}

void CPaintBrickCommand::Toggle()
{
    CBrickCommand::Toggle();
    Do();
}
