#include "views/pane_extent.h"

#include "foundation/list_walker.h"
#include "model/brick.h"
#include "model/brick_group.h"
#include "views/brick_pane.h"

namespace {

bool IsEmpty(const RECT& r)
{
    return r.left >= r.right || r.top >= r.bottom;
}

void Count(std::map<LONG, int>& edges, LONG value, int delta)
{
    auto [at, added] = edges.try_emplace(value, 0);
    at->second += delta;
    if (at->second == 0)
        edges.erase(at);
}

class CRecordingWalker : public CListWalker {
public:
    CRecordingWalker(CBrickPane* pane, std::unordered_map<const CBrick*, RECT>& rects)
        : CListWalker(pane->GetBrickList()), m_pPane(pane), m_rects(rects)
    {
    }
    BOOL VisitBrick(CObject* item) override
    {
        if (auto* brick = dynamic_cast<CBrick*>(item)) {
            RECT r;
            m_pPane->ProjectBox(&r, brick->GetWorldBox());
            m_rects[brick] = r;
        }
        return FALSE;
    }

private:
    CBrickPane* m_pPane;
    std::unordered_map<const CBrick*, RECT>& m_rects;
};

}  // namespace

bool CPaneExtent::IsCurrent(CBrickPane* pane) const
{
    const CBrickGroup* root = pane->GetBrickList();
    const POINT origin = pane->GetOrigin();
    return m_bValid && root == m_pRoot && root && root->GetTreeChanges() == m_nTreeChanges &&
           origin.x == m_origin.x && origin.y == m_origin.y;
}

void CPaneExtent::Rebuild(CBrickPane* pane)
{
    m_rects.clear();
    m_lefts.clear();
    m_tops.clear();
    m_rights.clear();
    m_bottoms.clear();
    m_pRoot = pane->GetBrickList();
    m_bValid = m_pRoot != nullptr;
    if (!m_bValid)
        return;
    m_nTreeChanges = m_pRoot->GetTreeChanges();
    m_origin = pane->GetOrigin();
    CRecordingWalker walker(pane, m_rects);
    walker.Walk();
    for (const auto& [brick, r] : m_rects)
        Add(r);
}

void CPaneExtent::Add(const RECT& r)
{
    if (IsEmpty(r))
        return;
    Count(m_lefts, r.left, 1);
    Count(m_tops, r.top, 1);
    Count(m_rights, r.right, 1);
    Count(m_bottoms, r.bottom, 1);
}

void CPaneExtent::Take(const RECT& r)
{
    if (IsEmpty(r))
        return;
    Count(m_lefts, r.left, -1);
    Count(m_tops, r.top, -1);
    Count(m_rights, r.right, -1);
    Count(m_bottoms, r.bottom, -1);
}

void CPaneExtent::Put(CBrickPane* pane, const CBrick* brick)
{
    if (!brick || !IsCurrent(pane))
        return;
    RECT r;
    pane->ProjectBox(&r, brick->GetWorldBox());
    auto [at, added] = m_rects.try_emplace(brick, r);
    if (!added) {
        Take(at->second);
        at->second = r;
    }
    Add(r);
}

void CPaneExtent::Remove(const CBrick* brick)
{
    if (!m_bValid || !brick)
        return;
    if (const auto at = m_rects.find(brick); at != m_rects.end()) {
        Take(at->second);
        m_rects.erase(at);
    }
}

RECT CPaneExtent::Get(CBrickPane* pane)
{
    if (!pane->GetBrickList())
        return RECT{0, 0, 0, 0};
    if (!IsCurrent(pane))
        Rebuild(pane);
    if (m_rects.empty())
        return RECT{0, 0, 0, 0};
    // Only empty rectangles: the walk's answer is the first brick's.
    if (m_lefts.empty()) {
        RECT walked;
        pane->CBrickPane::GetDizadoRect(&walked);
        return walked;
    }
    return RECT{m_lefts.begin()->first, m_tops.begin()->first, m_rights.rbegin()->first, m_bottoms.rbegin()->first};
}
