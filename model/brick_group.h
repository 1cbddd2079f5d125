// One node of a model's brick tree: its own list items are its bricks, and it
// owns a list of sub-groups. Brick changes are relayed up through it to the
// root's listeners, and it keeps the bounds of everything below it.
#pragma once

#include "foundation/geometry3d.h"
#include "foundation/list_walker.h"
#include "foundation/my_ob_list.h"
#include "model/live_count.h"

class CArchive;
class CBrick;

class CBrickGroup : public CMyObList, public CWalkableGroup {
    DECLARE_SERIAL(CBrickGroup)
public:
    // How many levels of groups a model may hold below its root. Every way of
    // nesting keeps to it, so that every model saved can be read back, and
    // everything that handles a tree handles this depth: deletion and the
    // stored records without recursion, the walkers recursing within it.
    static constexpr int kMaxDepth = 1000;

    CBrickGroup();
    // The root announces NOTIFY_ROOT_DESTROYING first; a sub-group leaves its parent; then
    // everything below is deleted, however deep, without recursion.
    ~CBrickGroup() override;
    // Groups alive in the process, roots included.
    static long LiveCount() { return CLiveCount<CBrickGroup>::Live(); }

    CIterableList* GetItemList() override { return this; }
    CMyObList* GetSubGroupList() override { return m_pSubGroups; }

    CBrickGroup* GetParent() const { return m_pParent; }
    int GetSubGroupCount() const { return m_pSubGroups->GetSize(); }
    // 0-based; null outside the list.
    CBrickGroup* GetSubGroupAt(int index) const;
    CBrick* GetBrickAt(int index) const;
    // 1-based, or -1.
    int IndexOfBrick(const CBrick* brick) const;

    // The list side of a brick joining or leaving; the brick calls them.
    void AddBrick(CBrick* brick);
    void RemoveBrick(CBrick* brick);

    // Moves the group under `parent` as its first sub-group, or out of the tree
    // with null (NOTIFY_OWNER_REQUEST asks the listeners for an owner value). A
    // parent inside
    // the group's own subtree is refused.
    void SetParent(CBrickGroup* parent);
    DWORD_PTR GetOwner() const { return m_dwOwner; }

    // The groups above this one: 0 for a root or a detached group.
    int GetDepth() const;
    // The levels of sub-groups below this one: 0 when it has none.
    int GetLevelsBelow() const;
    // Whether `levels` levels of groups may be placed below this one without
    // nesting past kMaxDepth.
    BOOL CanHoldLevels(int levels) const;
    // The same for `group` with everything below it; null: a new empty group.
    // SetParent does not ask: whatever nests groups on a user's or another
    // program's behalf asks first.
    BOOL CanHoldSubGroup(const CBrickGroup* group = nullptr) const;

    void DeleteContents();
    void Destroy(BOOL really);

    // The union of the world boxes of every brick below, computed afresh;
    // (0,0,0)-(0,0,0) when there is none. Groups without bricks add nothing.
    CBox3D GetBounds() const;
    // The same union, kept up to date as bricks change, join and leave.
    const CBox3D& GetCachedBounds() const;
    void RecomputeBounds();

    int CountSelectedDizado() const;
    SHORT CountSelectedGroups() const;
    BOOL HasSelection() const;
    int CountSelectedDizadoDeep() const;
    // Counts the sub-groups that joined or left anywhere in the tree of which
    // this group is the root: their bricks come and go without a word each.
    unsigned GetTreeChanges() const { return m_nTreeChanges; }
    // A brick or group below left without telling the listeners.
    void NoteSilentChange();
    // The same count, kept up to date as bricks are selected, join and leave
    // (as are the own list's count and the selection test above; the deep
    // count walks the tree).
    int GetCachedSelectedDeep() const { return m_nSelectedBelow; }
    // A brick of this group's own list changed its selected flag.
    void OnBrickSelectedChanged(BOOL selected)
    {
        m_nSelectedOwn += selected ? 1 : -1;
        AdjustSelectedBelow(selected ? 1 : -1);
    }
    void SelectAll(BOOL state);
    // The group's own bricks only: that colour gets the state, others its opposite.
    void SelectByColor(BOOL state, LONG colour);
    // NOTIFY_BRICK_BROADCAST for every brick below.
    void Broadcast();
    // Copies the subtree under `destination`, every brick moved by `offset`;
    // answers the top copy.
    CBrickGroup* Duplicate(const CPoint3D& offset, CBrickGroup* destination);

    // The relay: every group on the way up, then the root's listeners with
    // the brick as data.
    void OnBrickNotify(CBrick* brick, UINT code);
    // NOTIFY_HOLD_REBUILD and NOTIFY_HOLD_EXTENT from the root, with a pointer
    // to the BOOL.
    void HoldPaneRebuild(BOOL release);
    void HoldPaneExtent(BOOL release);

    // Automation accessors (0-based; null outside the lists).
    LONG GetListCount() const { return GetSubGroupCount(); }
    LONG GetBrickCount() const { return GetSize(); }
    CBrick* GetBrick(LONG index) const;
    CBrickGroup* GetList(LONG index) const;

    // The root of a document's model, as against a group a command has taken
    // out of it: only what hangs below a model root is open to automation.
    void SetModelRoot(BOOL modelRoot) { m_bModelRoot = modelRoot ? TRUE : FALSE; }
    BOOL IsInModel() const;
    BOOL IsInvokeAllowed(DISPID id) override;

    // Stored records: the group block with the brick and group counts, then
    // the brick records, then the group records.
    void Serialize(CArchive& ar) override;
    void WriteContents(CArchive& ar) const;
    // Only the selected bricks and the sub-groups that hold one.
    void WriteSelectedContents(CArchive& ar) const;
    // Adds what the record holds. Lengths past the end of the file throw
    // CArchiveException before anything is allocated for them. Groups that
    // would sit deeper than kMaxDepth are not made: their bricks go to their
    // ancestor at that depth, so that no brick of a deeper file is lost.
    // Answers TRUE when that happened.
    BOOL ReadContents(CArchive& ar);

protected:
    // Dispatch handlers: the brick or sub-group with a reference added, or null.
    IDispatch* DispGetBrick(LONG index);
    IDispatch* DispGetList(LONG index);

    DECLARE_DISPATCH_MAP()

private:
    friend class CBrick;

    // The cached bounds are the bounding box of the contributions below: each
    // own brick's world box and each sub-group's bounds. A contribution that
    // changes or goes away widens the cache or, when it held a face that the
    // rest may not reach, leaves it stale until it is next asked for; either
    // way the cost is one step per group on the way up.
    void UpdateContribution(const CBox3D* before, const CBox3D* after);
    void MarkStale();
    void Refresh() const;

    void AdjustSelectedBelow(int delta);

    void WriteRecord(CArchive& ar, BOOL selectedOnly) const;
    void ReadBricks(CArchive& ar, DWORD count);

    CBrickGroup* m_pParent = nullptr;
    CMyObList* m_pSubGroups;
    DWORD_PTR m_dwOwner = 0;
    mutable CBox3D m_bounds;
    mutable BOOL m_bHasBounds = FALSE;
    mutable BOOL m_bStale = FALSE;  // when set, every ancestor's is set too
    int m_nSelectedOwn = 0;           // selected bricks of the own list
    int m_nSelectedBelow = 0;         // selected bricks here and in every sub-group
    unsigned m_nTreeChanges = 0;      // on roots only
    BOOL m_bModelRoot = FALSE;
    [[no_unique_address]] CLiveCount<CBrickGroup> m_live;
};

// Opens pane holds on a group's root for as long as it lives; closes them in
// the opposite order, on every way out.
class CPaneHold {
public:
    enum { rebuild = 1, extent = 2, both = rebuild | extent };

    explicit CPaneHold(CBrickGroup* group, int holds = both);
    ~CPaneHold() { Release(); }
    CPaneHold(const CPaneHold&) = delete;
    CPaneHold& operator=(const CPaneHold&) = delete;

    // Closes them now; later calls do nothing.
    void Release();

private:
    CBrickGroup* m_pGroup;
    int m_nHolds;
};
