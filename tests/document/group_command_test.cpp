#include <gtest/gtest.h>

#include "document/group_command.h"
#include "document/ungroup_command.h"
#include "tests/document/command_fixture.h"

namespace {

using cmdtest::kBlock;
using cmdtest::kPlate;

// Notes whether single-brick invalidation was on when each brick left its group.
class InvalidationWatch : public CNotifier {
public:
    void OnNotify(UINT, UINT code, LPARAM data) override
    {
        if (code == NOTIFY_BRICK_LEAVING)
            (reinterpret_cast<const CBrick*>(data)->GetListFlag() ? invalidated : quiet) += 1;
    }
    int invalidated = 0;
    int quiet = 0;
};

class GroupCommandTest : public cmdtest::CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        a = Make(root, "a", 0, 0, 0, kPlate, 0, TRUE);
        Make(root, "unselected", 20, 20);
        first = Group(root);
        Make(first, "b", 4, 0, 0, kBlock, 0, TRUE);
        Make(first, "b unselected", 8, 0);
        second = Group(root);
        Make(Group(second), "c", 12, 0, 0, kPlate, 0, TRUE);
        Make(Group(root), "elsewhere", 30, 0);
    }

    CBrick* a = nullptr;
    CBrickGroup* first = nullptr;
    CBrickGroup* second = nullptr;
};

TEST_F(GroupCommandTest, GroupGathersTheSelectionIntoOneGroupAndUndoPutsItBack)
{
    InvalidationWatch watch;
    root->AddListener(&watch);
    auto* group = new CGroupDizadoCommand(root);
    ExpectRoundTrip(group);
    root->RemoveListener(&watch);
    EXPECT_EQ(watch.invalidated, 0);
    EXPECT_GT(watch.quiet, 0);
    EXPECT_EQ(group->GetPerformed(), 1u);

    CBrickGroup* made = group->GetNewGroup();
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->GetParent(), root);
    EXPECT_EQ(root->GetSubGroupCount(), 2);
    EXPECT_EQ(a->GetOwner(), made);
    EXPECT_EQ(first->GetParent(), made);
    EXPECT_EQ(second->GetParent(), made);
    EXPECT_EQ(made->GetCachedBounds(), CBox3D(0, 0, 0, 13, 2, 1));
    EXPECT_TRUE(Make(first, "probe", 50, 50)->GetListFlag());
}

TEST_F(GroupCommandTest, GroupingNothingMakesAnEmptyGroupThatUndoRemoves)
{
    root->SelectAll(FALSE);
    const int groups = root->GetSubGroupCount();
    auto* group = new CGroupDizadoCommand(root);
    group->Do();
    doc->SetLastAction(group);
    EXPECT_EQ(root->GetSubGroupCount(), groups + 1);
    EXPECT_EQ(group->GetNewGroup()->GetBrickCount(), 0);
    EditUndo();
    EXPECT_EQ(root->GetSubGroupCount(), groups);
    ExpectSettled();
}

// Automation can deselect part of the new group while the command is the
// last one; undo must still empty the whole group before it goes.
TEST_F(GroupCommandTest, GroupUndoKeepsWhatIsNoLongerSelected)
{
    auto* group = new CGroupDizadoCommand(root);
    group->Do();
    doc->SetLastAction(group);
    a->SetSelected(FALSE);
    second->SelectAll(FALSE);

    EditUndo();
    EXPECT_EQ(a->GetOwner(), root);
    EXPECT_EQ(second->GetParent(), root);
    EXPECT_EQ(first->GetParent(), root);
    EXPECT_EQ(root->GetSubGroupCount(), 3);
    ExpectSettled();
}

TEST_F(GroupCommandTest, UngroupMovesEveryMemberUpAndUndoRebuildsTheSameGroups)
{
    CBrickGroup* inner = second->GetSubGroupAt(0);
    auto* ungroup = new CUngroupDizadoCommand(root);
    InvalidationWatch watch;
    root->AddListener(&watch);
    ExpectRoundTrip(ungroup);
    root->RemoveListener(&watch);
    EXPECT_EQ(watch.invalidated, 0);
    EXPECT_EQ(ungroup->GetDissolvedCount(), 2);

    // The unselected brick goes with its selected neighbour; the sub-group moves whole.
    EXPECT_EQ(Shape(),
              "a@0,0,0/o0/c0/sel b unselected@8,0,0/o0/c0 b@4,0,0/o0/c0/sel unselected@20,20,0/o0/c0 "
              "(c@12,0,0/o0/c0/sel) (elsewhere@30,0,0/o0/c0)");
    EXPECT_EQ(inner->GetParent(), root);

    EditUndo();
    EXPECT_EQ(first->GetParent(), root);
    EXPECT_EQ(second->GetParent(), root);
    EXPECT_EQ(inner->GetParent(), second);
}

TEST_F(GroupCommandTest, ReplacedUngroupFreesTheDissolvedGroupsOnlyWhileTheyAreOut)
{
    EXPECT_EQ(ReplaceAndCount(new CUngroupDizadoCommand(root), true), cmdtest::Population{});
    ExpectSettled();
    EXPECT_EQ(ReplaceAndCount(new CUngroupDizadoCommand(root), false), (cmdtest::Population{0, 2}));
    ExpectSettled();
}

TEST_F(GroupCommandTest, ReplacedGroupKeepsItsGroupOnlyWhileItIsInTheModel)
{
    EXPECT_EQ(ReplaceAndCount(new CGroupDizadoCommand(root), true), cmdtest::Population{});
    EXPECT_EQ(ReplaceAndCount(new CGroupDizadoCommand(root), false), (cmdtest::Population{0, -1}));
}

}  // namespace
