// The union of the projected rectangles of every brick of a pane's model,
// kept up to date brick by brick as the pane hears of changes, so that the
// extent update after one change costs a few map steps instead of a walk of
// the whole model. It is built afresh by one walk whenever what it was built
// for (the tree, its sub-groups, the projection origin) is no longer there.
#pragma once

#include <map>
#include <unordered_map>

#include "platform/core/types.h"

class CBrick;
class CBrickGroup;
class CBrickPane;

class CPaneExtent {
public:
    // The brick's box may have changed, or it joined the tree.
    void Put(CBrickPane* pane, const CBrick* brick);
    // The brick is about to leave the tree, or to change its box.
    void Remove(const CBrick* brick);
    void Forget() { m_bValid = false; }

    // What CBrickPane::GetDizadoRect gives for the pane's model.
    RECT Get(CBrickPane* pane);

private:
    using Edges = std::map<LONG, int>;  // edge value -> bricks that have it

    bool IsCurrent(CBrickPane* pane) const;
    void Rebuild(CBrickPane* pane);
    void Add(const RECT& r);
    void Take(const RECT& r);

    bool m_bValid = false;
    const CBrickGroup* m_pRoot = nullptr;
    unsigned m_nTreeChanges = 0;
    POINT m_origin{0, 0};
    std::unordered_map<const CBrick*, RECT> m_rects;
    // Of the rectangles that are not empty: the union skips empty ones.
    Edges m_lefts, m_tops, m_rights, m_bottoms;
};
