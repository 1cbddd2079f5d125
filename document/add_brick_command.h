// The new-brick tool's click ("Add Dizado"): a brick of the current class,
// colour and orientation on the ground or on top of the brick clicked, which
// the same press can then drag. A click on a brick's side makes nothing and
// beeps. Undo takes the brick out (and moves back what was dragged); redo puts
// it back.
#pragma once

#include "document/place_command.h"

class CBrick;

class CAddBrickCommand : public CPlaceDizadoCommand {
public:
    // Makes the brick at once. A class nobody holds makes the built-in one.
    CAddBrickCommand(IMousePane* pane, int x, int y, UINT keyFlags, SHORT classId, LONG colour, SHORT pose,
                     SHORT orientation);
    // Deletes the brick while it is out of the model; closes the pane holds
    // if the command was never tracked to its end.
    ~CAddBrickCommand() override;

    void Toggle() override;
    // Each does its base's work only when a brick was made.
    void BeginDrag(CDC* dc, int x, int y) override;
    void DragTo(int x, int y, int lastX, int lastY, int startX, int startY) override;
    void EndDrag(int x, int y, int lastX, int lastY, int startX, int startY) override;

    CBrick* GetBrick() const { return m_pBrick; }
    BOOL IsPresent() const { return m_bPresent; }

private:
    void CloseHolds();

    CBrick* m_pBrick = nullptr;
    BOOL m_bPresent = TRUE;
    // The extent and rebuild holds opened for the click stay open until the
    // drag ends.
    BOOL m_bHoldsOpen = FALSE;
};
