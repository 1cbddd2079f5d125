// A set of bricks gathered from a group, for an edit command to act on in one
// pass and to undo with: single bricks in its own list, whole groups in a
// second one. It owns none of them. Which members are taken and what is done
// to each are hooks that the commands' sets override.
#pragma once

#include "foundation/my_ob_list.h"

class CBrick;
class CBrickGroup;

class CDizadOet : public CMyObList {
    DECLARE_DYNAMIC(CDizadOet)
public:
    // Sub-groups of the owner are taken whole, or every brick one by one.
    enum { modeGroups = 0, modeDizado = 1 };

    CDizadOet(CBrickGroup* owner, int mode);
    ~CDizadOet() override;

    CBrickGroup* GetOwnerGroup() const { return m_pOwner; }
    CMyObList* GetGroupList() const { return m_pGroups; }
    int GetMode() const { return m_nMode; }

    virtual LPARAM Collect(LPARAM argument);
    // The traversals: the member bricks, then the member groups, each that its
    // accept hook takes going to its hook. A hook may delete or detach the
    // member it is given; the delete pass drops the entries it deleted.
    virtual LPARAM DeleteAll(LPARAM argument);
    virtual LPARAM ApplyAll(LPARAM argument);
    virtual LPARAM SetSelection(BOOL state);
    virtual LPARAM DetachAll(LPARAM argument);
    virtual LPARAM AttachAll(LPARAM argument);

    virtual BOOL AcceptGroup(CBrickGroup* group, LPARAM argument);
    virtual BOOL AcceptBrick(CBrick* brick, LPARAM argument);
    virtual LPARAM CollectGroup(CBrickGroup* group, LPARAM argument);
    virtual LPARAM CollectBrick(CBrick* brick, LPARAM argument);

    virtual BOOL AcceptGroupForDelete(CBrickGroup* group, LPARAM argument);
    virtual BOOL AcceptBrickForDelete(CBrick* brick, LPARAM argument);
    virtual LPARAM DeleteGroup(CBrickGroup* group, LPARAM argument);
    virtual LPARAM DeleteBrick(CBrick* brick, LPARAM argument);

    virtual BOOL AcceptGroupForApply(CBrickGroup* group, LPARAM argument);
    virtual BOOL AcceptBrickForApply(CBrick* brick, LPARAM argument);
    virtual LPARAM ApplyGroup(CBrickGroup* group, LPARAM argument);
    virtual LPARAM ApplyBrick(CBrick* brick, LPARAM argument);

    virtual BOOL AcceptGroupForDetach(CBrickGroup* group, LPARAM argument);
    virtual BOOL AcceptBrickForDetach(CBrick* brick, LPARAM argument);
    virtual LPARAM DetachGroup(CBrickGroup* group, LPARAM argument);
    virtual LPARAM DetachBrick(CBrick* brick, LPARAM argument);

    virtual BOOL AcceptGroupForAttach(CBrickGroup* group, LPARAM argument);
    virtual BOOL AcceptBrickForAttach(CBrick* brick, LPARAM argument);
    virtual LPARAM AttachGroup(CBrickGroup* group, LPARAM argument);
    virtual LPARAM AttachBrick(CBrick* brick, LPARAM argument);

protected:
    using BrickAccept = BOOL (CDizadOet::*)(CBrick*, LPARAM);
    using BrickHook = LPARAM (CDizadOet::*)(CBrick*, LPARAM);
    using GroupAccept = BOOL (CDizadOet::*)(CBrickGroup*, LPARAM);
    using GroupHook = LPARAM (CDizadOet::*)(CBrickGroup*, LPARAM);
    // One traversal; `dropHandled` empties the entry of every member handed
    // to a hook that is still in the list afterwards.
    void Traverse(BrickAccept acceptBrick, BrickHook brickHook, GroupAccept acceptGroup, GroupHook groupHook,
                  LPARAM argument, bool dropHandled = false);

    CBrickGroup* m_pOwner;
    CMyObList* m_pGroups;
    int m_nMode;
};
