// The visitor over a tree of groups. Drawing, hit testing, selection and the
// brick sets are subclasses that override one or two of its operations. Every
// operation answers TRUE to stop: it goes straight back up and ends the walk.
// A walk recurses, a few small frames per level, so the trees it is given must
// be of bounded depth, as a model's groups are.
#pragma once

#include "platform/core/types.h"

class CObject;
class CIterableList;

// What the walker needs of a group, so that it knows nothing of bricks: the
// group's own items and its sub-groups. Items of the sub-group list that are
// not CWalkableGroup (found by dynamic_cast) are skipped. Both lists are walked
// with live iterators, so a visit may add or remove items of either.
class CWalkableGroup {
public:
    virtual ~CWalkableGroup() = default;
    virtual CIterableList* GetItemList() = 0;
    virtual CIterableList* GetSubGroupList() = 0;
};

class CListWalker {
public:
    explicit CListWalker(CWalkableGroup* root, BOOL recurse = TRUE, BOOL visit = TRUE, BOOL backward = FALSE)
        : m_pRoot(root), m_bRecurse(recurse), m_bVisit(visit), m_bBackward(backward)
    {
    }
    virtual ~CListWalker() = default;

    // FALSE when the walk ran to the end.
    virtual BOOL Walk();
    virtual BOOL WalkGroup(CWalkableGroup* group);
    // Called for every item of a group's own list, null ones included.
    virtual BOOL VisitBrick(CObject* item);
    virtual BOOL VisitDizado(CWalkableGroup* group);
    virtual BOOL VisitSubGroups(CWalkableGroup* group);
    // A group's own items before its sub-groups, sub-groups depth-first; the
    // backward flag reverses the order within each list, not that rule.
    virtual BOOL WalkGroupDefault(CWalkableGroup* group);

protected:
    CWalkableGroup* m_pRoot;
    BOOL m_bRecurse;  // descend into sub-groups
    BOOL m_bVisit;    // visit each group's own items
    BOOL m_bBackward;
};
