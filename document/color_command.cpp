#include "document/color_command.h"

#include "model/brick_set_lists.h"

CColorDizadoCommand::CColorDizadoCommand(CBrickGroup* root, LONG colour)
    : CBrickCommand(labelColor), m_nColor(colour), m_pSet(new CColorBrickList(root))
{
    m_pSet->Collect(0);
}

CColorDizadoCommand::~CColorDizadoCommand()
{
    delete m_pSet;
}

void CColorDizadoCommand::Do()
{
    Paint();
}

void CColorDizadoCommand::Toggle()
{
    if (IsUndone())
        Paint();
    else
        m_pSet->ApplyAll(0);  // each brick its own saved colour, in collection order
    CBrickCommand::Toggle();
}

void CColorDizadoCommand::Paint()
{
    // The set reads the colour as a 16-bit number.
    SHORT colour = static_cast<SHORT>(m_nColor);
    m_pSet->ApplyAll(reinterpret_cast<LPARAM>(&colour));
}
