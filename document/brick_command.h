// The base of every undoable edit. A command performs its edit once (Do),
// keeps what it needs to reverse it, and is then flipped between done and
// undone by Edit/Undo; the document holds exactly one, the last.
#pragma once

#include "platform/core/cstring.h"
#include "platform/core/types.h"

class CBrickCommand {
public:
    // Which Edit menu text names the command: 0 for none, else 1 to 12.
    enum Label : WORD {
        labelNone = 0,
        labelCut = 1,
        labelCopy = 2,
        labelPaste = 3,
        labelClear = 4,
        labelMove = 5,
        labelAdd = 6,
        labelColor = 7,
        labelRotate = 8,
        labelDuplicate = 9,
        labelGroup = 10,
        labelUngroup = 11,
        labelBackground = 12,
    };

    explicit CBrickCommand(WORD label) : m_nLabel(label) {}
    virtual ~CBrickCommand() = default;
    CBrickCommand(const CBrickCommand&) = delete;
    CBrickCommand& operator=(const CBrickCommand&) = delete;

    // The first performance of the edit.
    virtual void Do() {}
    // Reverses the edit when done, performs it again when undone. Subclasses
    // that can reverse themselves do their work and call this base.
    virtual void Toggle() { m_bUndone = m_bUndone ? FALSE : TRUE; }
    virtual void Undo() { Toggle(); }
    virtual BOOL ModifiesDocument() { return TRUE; }
    virtual BOOL IsUndone() { return m_bUndone; }
    virtual DWORD GetPerformed() { return m_nPerformed; }
    virtual WORD GetLabel() { return m_nLabel; }
    virtual void SetLabel(WORD label) { m_nLabel = label; }
    // "&Undo " or "&Redo ", then the label's text and the accelerator.
    virtual void GetMenuText(CString& text, BOOL undone);

    void SetPerformed(DWORD performed) { m_nPerformed = performed; }

private:
    WORD m_nLabel;
    BOOL m_bUndone = FALSE;
    DWORD m_nPerformed = 0;
};
