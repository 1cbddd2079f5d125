// The select tool's press on a selectable brick: the click selects, and a
// drag moves the selection ("Move Dizado").
#pragma once

#include "document/place_command.h"

class CMoveDizadoCommand : public CPlaceDizadoCommand {
public:
    CMoveDizadoCommand(IMousePane* pane, UINT keyFlags, SHORT mainAxis, SHORT alternateAxis);

    // The click's selection, then the drag's start.
    void BeginDrag(CDC* dc, int x, int y) override;

private:
    WORD m_nPressFlags;
};
