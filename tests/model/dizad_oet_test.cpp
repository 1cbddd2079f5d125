#include <gtest/gtest.h>

#include <vector>

#include "foundation/notification_codes.h"
#include "model/brick.h"
#include "model/brick_group.h"
#include "model/brick_set_lists.h"
#include "model/dizad_oet.h"
#include "tests/model/model_fixture.h"

namespace tk = testkit;

namespace {

using Codes = std::vector<UINT>;

// Counts every hook the traversals reach.
class CountingSet : public CDizadOet {
public:
    using CDizadOet::CDizadOet;
    LPARAM ApplyGroup(CBrickGroup*, LPARAM) override { return ++hooks; }
    LPARAM ApplyBrick(CBrick*, LPARAM) override { return ++hooks; }
    LPARAM DetachGroup(CBrickGroup*, LPARAM) override { return ++hooks; }
    LPARAM DetachBrick(CBrick*, LPARAM) override { return ++hooks; }
    LPARAM AttachGroup(CBrickGroup*, LPARAM) override { return ++hooks; }
    LPARAM AttachBrick(CBrick*, LPARAM) override { return ++hooks; }
    LPARAM DeleteGroup(CBrickGroup*, LPARAM) override { return ++hooks; }
    LPARAM DeleteBrick(CBrick*, LPARAM) override { return ++hooks; }
    int hooks = 0;
};

}  // namespace

class DizadOetTest : public ModelTest {
protected:
    // The root holds a selected and a plain brick; group G holds a plain and
    // a selected brick and a sub-group with a selected brick; group H holds
    // nothing selected.
    void SetUp() override
    {
        ModelTest::SetUp();
        rootSelected = MakeAt(root.get(), 0, 0, 0);
        rootSelected->SetSelected(TRUE);
        MakeAt(root.get(), 1, 0, 0);
        h = new CBrickGroup;
        h->SetParent(root.get());
        MakeAt(h, 9, 9, 0);
        g = new CBrickGroup;
        g->SetParent(root.get());
        MakeAt(g, 2, 0, 0);
        gSelected = MakeAt(g, 3, 0, 0);
        gSelected->SetSelected(TRUE);
        auto* inner = new CBrickGroup;
        inner->SetParent(g);
        innerSelected = MakeAt(inner, 4, 0, 0);
        innerSelected->SetSelected(TRUE);
        pane.Clear();
    }

    std::vector<CObject*> Members(const CMyObList& list)
    {
        std::vector<CObject*> members;
        for (int i = 0; i < list.GetSize(); ++i)
            members.push_back(list.GetAt(i));
        return members;
    }

    CBrick* rootSelected = nullptr;
    CBrick* gSelected = nullptr;
    CBrick* innerSelected = nullptr;
    CBrickGroup* g = nullptr;
    CBrickGroup* h = nullptr;
};

TEST_F(DizadOetTest, ModeOneTakesEverySelectedBrickAndNoGroup)
{
    CDizadOet set(root.get(), CDizadOet::modeDizado);
    set.Collect(0);
    EXPECT_EQ(Members(set), (std::vector<CObject*>{rootSelected, gSelected, innerSelected}));
    EXPECT_EQ(set.GetGroupList()->GetSize(), 0);
    EXPECT_TRUE(pane.events.empty());
}

TEST_F(DizadOetTest, ModeZeroTakesSubGroupsWhole)
{
    CDizadOet set(root.get(), CDizadOet::modeGroups);
    set.Collect(0);
    EXPECT_EQ(Members(set), std::vector<CObject*>{rootSelected});
    EXPECT_EQ(Members(*set.GetGroupList()), std::vector<CObject*>{g});
}

TEST_F(DizadOetTest, EmptySetRunsNoHookAndSendsNothing)
{
    root->SelectAll(FALSE);
    pane.Clear();
    CountingSet set(root.get(), CDizadOet::modeGroups);
    set.Collect(0);
    set.ApplyAll(0);
    set.DetachAll(0);
    set.AttachAll(0);
    set.SetSelection(TRUE);
    set.DeleteAll(0);
    EXPECT_EQ(set.hooks, 0);
    EXPECT_TRUE(pane.events.empty());
}

TEST_F(DizadOetTest, DetachAndAttachAnnounceEveryBrickOfAGroup)
{
    CDizadOet set(root.get(), CDizadOet::modeGroups);
    set.Collect(0);
    const CBox3D whole = root->GetCachedBounds();

    set.DetachAll(0);
    EXPECT_EQ(g->GetParent(), nullptr);
    EXPECT_EQ(rootSelected->GetOwner(), nullptr);
    EXPECT_EQ(root->GetSubGroupCount(), 1);
    EXPECT_EQ(root->GetCachedBounds(), root->GetBounds());
    EXPECT_EQ(pane.Count(NOTIFY_BRICK_LEAVING), 4);  // the loose brick and G's three
    EXPECT_EQ(g->GetBrickCount(), 2);

    pane.Clear();
    set.AttachAll(0);
    EXPECT_EQ(root->GetSubGroupAt(0), g);
    EXPECT_EQ(rootSelected->GetOwner(), root.get());
    EXPECT_EQ(root->GetCachedBounds(), whole);
    // Each brick joins and is placed, so that panes paint it again.
    const Codes placed = {NOTIFY_BRICK_JOINED, NOTIFY_POSITION_CHANGED};
    Codes expected = {NOTIFY_BRICK_JOINING};
    for (int brick = 0; brick < 4; ++brick)
        expected.insert(expected.end(), placed.begin(), placed.end());
    EXPECT_EQ(pane.Codes(), expected);
}

TEST_F(DizadOetTest, ColourUndoGivesEachBrickItsOwnColourBack)
{
    root->SelectAll(FALSE);
    CBrick* red = MakeAt(root.get(), 0, 5, 0, tk::kBuiltIn, 2);
    CBrick* brown = MakeAt(g, 0, 6, 0, tk::kBuiltIn, 7);
    red->SetSelected(TRUE);
    brown->SetSelected(TRUE);
    CColorBrickList set(root.get());
    set.Collect(0);
    SHORT white = 4;
    set.ApplyAll(reinterpret_cast<LPARAM>(&white));
    EXPECT_EQ(red->GetColorIndex(), 4);
    EXPECT_EQ(brown->GetColorIndex(), 4);
    set.ApplyAll(0);
    EXPECT_EQ(red->GetColorIndex(), 2);
    EXPECT_EQ(brown->GetColorIndex(), 7);
    set.ApplyAll(reinterpret_cast<LPARAM>(&white));
    set.ApplyAll(0);
    EXPECT_EQ(brown->GetColorIndex(), 7);
}

TEST_F(DizadOetTest, NudgeMovesEveryMember)
{
    CNudgeBrickList set(root.get());
    set.Collect(0);
    const CPoint3D by(0, 0, 2);
    set.ApplyAll(reinterpret_cast<LPARAM>(&by));
    EXPECT_EQ(*innerSelected->GetPositionPtr(), CPoint3D(4, 0, 2));
    EXPECT_EQ(*rootSelected->GetPositionPtr(), CPoint3D(0, 0, 2));
    EXPECT_EQ(pane.Count(NOTIFY_POSITION_CHANGED), 3);
    EXPECT_EQ(root->GetCachedBounds(), root->GetBounds());
}

TEST_F(DizadOetTest, DuplicateMovesTheSelectionToTheCopies)
{
    CDuplicateBrickList set(root.get(), CPoint3D(0, 10, 0), root.get());
    set.Collect(0);
    set.ApplyAll(0);
    EXPECT_FALSE(rootSelected->IsSelectedFlag());
    EXPECT_FALSE(g->HasSelection());
    ASSERT_EQ(root->GetSubGroupAt(0)->GetBrickCount(), 2);
    EXPECT_EQ(root->GetSubGroupCount(), 3);
    EXPECT_EQ(root->GetBrickCount(), 3);
    EXPECT_EQ(*root->GetBrickAt(2)->GetPositionPtr(), CPoint3D(0, 10, 0));
    EXPECT_TRUE(root->GetBrickAt(2)->IsSelectedFlag());
    EXPECT_EQ(root->GetSubGroupAt(0)->CountSelectedDizadoDeep(), 3);
}

TEST_F(DizadOetTest, DeleteAllLeavesNoDanglingMember)
{
    CDizadOet set(root.get(), CDizadOet::modeGroups);
    set.Collect(0);
    set.DetachAll(0);
    set.DeleteAll(0);
    EXPECT_EQ(Members(set), std::vector<CObject*>{nullptr});
    EXPECT_EQ(Members(*set.GetGroupList()), std::vector<CObject*>{nullptr});
    // Every later traversal skips the emptied entries.
    set.ApplyAll(0);
    set.SetSelection(TRUE);
    EXPECT_EQ(root->GetBrickCount(), 1);
    EXPECT_EQ(root->GetSubGroupCount(), 1);
}
