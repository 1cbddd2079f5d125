#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <vector>

#include "foundation/notification_codes.h"
#include "model/brick.h"
#include "model/brick_group.h"
#include "model/brick_walkers.h"
#include "model/dizad_oet.h"
#include "platform/core/archive.h"
#include "platform/core/file.h"
#include "tests/model/model_fixture.h"
#include "tests/support/small_stack.h"

namespace tk = testkit;

namespace {

using Codes = std::vector<UINT>;

int g_liveCounted = 0;

class CountedBrick : public CBrick {
public:
    explicit CountedBrick(CBrickGroup* owner) : CBrick(tk::kBuiltIn, owner) { ++g_liveCounted; }
    ~CountedBrick() override { --g_liveCounted; }
};

// Checks at every notification that the caches of the whole tree equal a
// fresh computation: what a pane reads while it reacts is already right.
class BoundsWatcher : public CNotifier {
public:
    explicit BoundsWatcher(CBrickGroup* root) : m_root(root) {}
    void OnNotify(UINT, UINT code, LPARAM) override
    {
        if (code != NOTIFY_ROOT_DESTROYING)
            CheckTree(m_root, code);
    }
    static void CheckTree(const CBrickGroup* group, UINT code = 0)
    {
        ASSERT_EQ(group->GetCachedBounds(), group->GetBounds()) << "code " << code;
        for (int i = 0; i < group->GetSubGroupCount(); ++i)
            CheckTree(group->GetSubGroupAt(i), code);
    }

private:
    CBrickGroup* m_root;
};

}  // namespace

class BrickGroupTest : public ModelTest {
protected:
    CBrickGroup* NewGroup(CBrickGroup* parent)
    {
        auto* group = new CBrickGroup;
        group->SetParent(parent);
        return group;
    }
};

TEST_F(BrickGroupTest, NewSubGroupGoesFirst)
{
    CBrickGroup* g2 = NewGroup(root.get());
    CBrickGroup* g1 = NewGroup(root.get());
    ASSERT_EQ(root->GetSubGroupAt(0), g1);
    CBrickGroup* fresh = NewGroup(root.get());
    EXPECT_EQ(root->GetSubGroupCount(), 3);
    EXPECT_EQ(root->GetSubGroupAt(0), fresh);
    EXPECT_EQ(root->GetSubGroupAt(1), g1);
    EXPECT_EQ(root->GetSubGroupAt(2), g2);
    EXPECT_EQ(fresh->GetParent(), root.get());
    EXPECT_EQ(root->GetList(3), nullptr);
    EXPECT_EQ(root->GetList(-1), nullptr);
    EXPECT_EQ(root->GetBrick(0), nullptr);
}

TEST_F(BrickGroupTest, ParentInsideTheGroupIsRefused)
{
    CBrickGroup* outer = NewGroup(root.get());
    CBrickGroup* inner = NewGroup(outer);
    outer->SetParent(inner);
    outer->SetParent(outer);
    EXPECT_EQ(outer->GetParent(), root.get());
    EXPECT_EQ(inner->GetParent(), outer);
    EXPECT_EQ(outer->GetSubGroupCount(), 1);
}

TEST_F(BrickGroupTest, DetachedGroupAsksForAnOwnerValue)
{
    CBrickGroup* group = NewGroup(root.get());
    testkit::Recorder own;
    group->AddListener(&own);
    group->SetParent(nullptr);
    ASSERT_EQ(own.Codes(), Codes{NOTIFY_OWNER_REQUEST});
    EXPECT_EQ(group->GetOwner(), 0u);
    EXPECT_EQ(root->GetSubGroupCount(), 0);
    delete group;
}

TEST_F(BrickGroupTest, BoundsWidenAndShrinkInEveryAncestor)
{
    CBrickGroup* middle = NewGroup(root.get());
    CBrickGroup* group = NewGroup(middle);
    MakeAt(group, 0, 0, 0, tk::kSquare);
    for (const CBrickGroup* g : {group, middle, root.get()})
        EXPECT_EQ(g->GetCachedBounds(), CBox3D(0, 0, 0, 2, 2, 1));
    CBrick* second = MakeAt(group, 4, 0, 0, tk::kSquare);
    for (const CBrickGroup* g : {group, middle, root.get()})
        EXPECT_EQ(g->GetCachedBounds(), CBox3D(0, 0, 0, 6, 2, 1));
    second->ChangePosition(CPoint3D(1, 0, 0));
    for (const CBrickGroup* g : {group, middle, root.get()})
        EXPECT_EQ(g->GetCachedBounds(), CBox3D(0, 0, 0, 3, 2, 1));
    delete second;
    EXPECT_EQ(root->GetCachedBounds(), CBox3D(0, 0, 0, 2, 2, 1));
    group->DeleteContents();
    EXPECT_EQ(root->GetCachedBounds(), CBox3D());
    EXPECT_EQ(root->GetBounds(), CBox3D());
}

TEST_F(BrickGroupTest, JoiningAClassChangeAndANewParentWidenTheCaches)
{
    CBrickGroup* target = NewGroup(root.get());
    MakeAt(target, 0, 0, 0);
    CBrick* loose = MakeAt(root.get(), 10, 0, 0);
    CBrickGroup* moved = new CBrickGroup;
    MakeAt(moved, 0, 20, 0, tk::kSquare);

    loose->SetOwner(target);  // 1028
    EXPECT_EQ(target->GetCachedBounds(), CBox3D(0, 0, 0, 11, 1, 1));
    loose->ChangeType(tk::kSquare);  // 1038
    EXPECT_EQ(target->GetCachedBounds(), CBox3D(0, 0, 0, 12, 2, 1));
    moved->SetParent(target);
    for (const CBrickGroup* g : {target, root.get()})
        EXPECT_EQ(g->GetCachedBounds(), CBox3D(0, 0, 0, 12, 22, 1));
}

TEST_F(BrickGroupTest, CachesFollowEveryKindOfChange)
{
    BoundsWatcher watcher(root.get());
    root->AddListener(&watcher);
    CBrickGroup* a = NewGroup(root.get());
    CBrickGroup* b = NewGroup(a);
    CBrickGroup* c = NewGroup(root.get());
    CBrickGroup* groups[] = {root.get(), a, b, c};
    std::vector<CBrick*> bricks;
    std::mt19937 random(7);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const SHORT classes[] = {tk::kBuiltIn, tk::kThreePoses, tk::kSquare};

    for (int step = 0; step < 600; ++step) {
        const int action = bricks.empty() ? 0 : pick(9);
        CBrick* brick = bricks.empty() ? nullptr : bricks[static_cast<size_t>(pick(static_cast<int>(bricks.size())))];
        switch (action) {
        case 0:
            bricks.push_back(MakeAt(groups[pick(4)], pick(20) - 10, pick(20) - 10, pick(4), classes[pick(3)]));
            break;
        case 1:
            brick->ChangePosition(CPoint3D(pick(30) - 15, pick(30) - 15, pick(6)));
            break;
        case 2:
            brick->ChangePose(static_cast<SHORT>(pick(4)));
            break;
        case 3:
            brick->NextOrientation();
            break;
        case 4:
            brick->ChangeType(classes[pick(3)]);
            break;
        case 5:
            brick->SetOwner(groups[pick(4)]);
            break;
        case 6:
            bricks.erase(std::find(bricks.begin(), bricks.end(), brick));
            brick->Delete(TRUE);
            break;
        case 7:
            // Move a group about, out of the tree and back in.
            if (pick(2)) {
                c->SetParent(pick(2) ? b : root.get());
            } else {
                b->SetParent(nullptr);
                BoundsWatcher::CheckTree(b);
                b->SetParent(pick(2) ? a : c);
            }
            break;
        default:
            brick->Rotate(CPoint3D(pick(6), pick(6), 0), CPoint3D(), pick(2));
            break;
        }
        BoundsWatcher::CheckTree(root.get());
        if (HasFatalFailure())
            FAIL() << "step " << step << " action " << action;
    }
    root->RemoveListener(&watcher);
}

TEST_F(BrickGroupTest, DeletingAGroupDeletesEverythingOnce)
{
    CBrickGroup* group = NewGroup(root.get());
    for (int i = 0; i < 3; ++i)
        new CountedBrick(group);
    new CountedBrick(NewGroup(group));
    CBrickGroup* second = NewGroup(group);
    new CountedBrick(second);
    new CountedBrick(NewGroup(second));
    ASSERT_EQ(g_liveCounted, 6);
    group->Destroy(FALSE);
    EXPECT_EQ(g_liveCounted, 6);
    group->Destroy(TRUE);
    EXPECT_EQ(g_liveCounted, 0);
    EXPECT_EQ(root->GetSubGroupCount(), 0);
}

TEST_F(BrickGroupTest, SelectionByColourTouchesOnlyTheGroupsOwnBricks)
{
    CBrick* first = MakeAt(root.get(), 0, 0, 0, tk::kBuiltIn, 3);
    CBrick* second = MakeAt(root.get(), 1, 0, 0, tk::kBuiltIn, 5);
    CBrick* third = MakeAt(root.get(), 2, 0, 0, tk::kBuiltIn, 3);
    second->SetSelected(TRUE);
    CBrick* below = MakeAt(NewGroup(root.get()), 0, 0, 0, tk::kBuiltIn, 3);
    root->SelectByColor(TRUE, 3);
    EXPECT_TRUE(first->IsSelectedFlag());
    EXPECT_FALSE(second->IsSelectedFlag());
    EXPECT_TRUE(third->IsSelectedFlag());
    EXPECT_FALSE(below->IsSelectedFlag());
    EXPECT_EQ(root->CountSelectedDizado(), 2);
    EXPECT_EQ(root->CountSelectedGroups(), 0);

    below->SetSelected(TRUE);
    EXPECT_EQ(root->CountSelectedGroups(), 1);
    EXPECT_EQ(root->CountSelectedDizadoDeep(), 3);
    EXPECT_TRUE(root->HasSelection());

    root->SelectAll(FALSE);
    EXPECT_FALSE(root->HasSelection());
    pane.Clear();
    root->SelectAll(FALSE);
    EXPECT_TRUE(pane.events.empty());
}

TEST_F(BrickGroupTest, DuplicateCopiesTheSubtreeMovedAndPutsItFirst)
{
    CBrickGroup* source = NewGroup(root.get());
    MakeAt(source, 1, 1, 0);
    CBrickGroup* inner = NewGroup(source);
    MakeAt(inner, 2, 2, 1, tk::kSquare);
    CBrickGroup* copy = source->Duplicate(CPoint3D(10, 0, 0), root.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(root->GetSubGroupAt(0), copy);
    EXPECT_EQ(root->GetSubGroupCount(), 2);
    ASSERT_EQ(copy->GetBrickCount(), 1);
    EXPECT_EQ(*copy->GetBrickAt(0)->GetPositionPtr(), CPoint3D(11, 1, 0));
    ASSERT_EQ(copy->GetSubGroupCount(), 1);
    CBrickGroup* innerCopy = copy->GetSubGroupAt(0);
    ASSERT_EQ(innerCopy->GetBrickCount(), 1);
    EXPECT_EQ(innerCopy->GetBrickAt(0)->GetWorldBox(), CBox3D(12, 2, 1, 14, 4, 2));
    EXPECT_EQ(copy->GetCachedBounds(), CBox3D(11, 1, 0, 14, 4, 2));
    EXPECT_EQ(source->GetBrickCount(), 1);
    EXPECT_EQ(inner->GetBrickCount(), 1);

    // Into itself: the copy is not copied again.
    CBrickGroup* self = inner->Duplicate(CPoint3D(0, 5, 0), inner);
    EXPECT_EQ(inner->GetSubGroupAt(0), self);
    EXPECT_EQ(self->GetBrickCount(), 1);
    EXPECT_EQ(self->GetSubGroupCount(), 0);
}

TEST_F(BrickGroupTest, RelayReachesOnlyTheRootsListeners)
{
    CBrickGroup* deep = Nest(root.get(), 3);
    CBrick* brick = MakeAt(deep, 0, 0, 0);
    testkit::Recorder middle;
    deep->GetParent()->AddListener(&middle);
    pane.Clear();
    brick->ChangeColor(4);
    deep->Broadcast();
    root->Broadcast();
    EXPECT_EQ(pane.Codes(),
              (Codes{NOTIFY_COLOR_CHANGING, NOTIFY_COLOR_CHANGED, NOTIFY_BRICK_BROADCAST, NOTIFY_BRICK_BROADCAST}));
    for (const auto& event : pane.events) {
        EXPECT_EQ(event.sender, NOTIFY_ID_LIST);
        EXPECT_EQ(event.data, reinterpret_cast<LPARAM>(brick));
    }
    EXPECT_TRUE(middle.events.empty());
}

TEST_F(BrickGroupTest, HoldsGoToTheRootAndCloseInReverse)
{
    CBrickGroup* deep = Nest(root.get(), 2);
    CBrickGroup* moved = deep->GetParent();
    {
        CPaneHold hold(deep);
        EXPECT_EQ(pane.rebuildHolds, 1);
        EXPECT_EQ(pane.extentHolds, 1);
        // Closed at the root it was opened on, even if the group moves.
        moved->SetParent(nullptr);
    }
    EXPECT_EQ(pane.Codes(), (Codes{NOTIFY_HOLD_REBUILD, NOTIFY_HOLD_EXTENT, NOTIFY_HOLD_EXTENT, NOTIFY_HOLD_REBUILD}));
    EXPECT_EQ(pane.rebuildHolds, 0);
    EXPECT_EQ(pane.extentHolds, 0);
    delete moved;
}

TEST_F(BrickGroupTest, RootAnnouncesItsDestruction)
{
    MakeAt(NewGroup(root.get()), 0, 0, 0);
    pane.Clear();
    root.reset();
    EXPECT_EQ(pane.Codes(), Codes{NOTIFY_ROOT_DESTROYING});
    EXPECT_EQ(pane.events[0].data, 0);
}

// Built directly in memory a tree has no depth limit. One far deeper than any
// stack could recurse into is still measured, walked by the group's own
// operations, written and deleted, even on a small stack.
TEST_F(BrickGroupTest, ATreeFarPastTheDepthLimitIsHandledWithoutRecursion)
{
    constexpr int kDepth = 100000;
    // Built upwards, so that each step is one parent link.
    auto* top = new CBrickGroup;
    CBrickGroup* bottom = top;
    (new CountedBrick(bottom))->SetSelected(TRUE);
    for (int level = 1; level < kDepth; ++level) {
        auto* above = new CBrickGroup;
        top->SetParent(above);
        top = above;
    }
    new CountedBrick(top);
    top->SetParent(root.get());
    ASSERT_EQ(g_liveCounted, 2);

    RunOnStack(kSmallStack, [&] {
        EXPECT_EQ(root->GetLevelsBelow(), kDepth);
        EXPECT_EQ(bottom->GetDepth(), kDepth);
        EXPECT_FALSE(root->CanHoldSubGroup(top));
        EXPECT_TRUE(root->HasSelection());
        EXPECT_EQ(root->CountSelectedDizadoDeep(), 1);
        root->SelectAll(TRUE);
        EXPECT_EQ(root->CountSelectedDizadoDeep(), 2);
        root->RecomputeBounds();
        EXPECT_EQ(root->GetCachedBounds(), root->GetBounds());
        CMemFile file(1 << 22);
        CArchive ar(&file, CArchive::store);
        root->WriteContents(ar);
        ar.Close();
        EXPECT_GT(file.GetLength(), static_cast<DWORD>(kDepth) * 28);
        delete top;
    });
    EXPECT_EQ(g_liveCounted, 0);
    EXPECT_EQ(root->GetSubGroupCount(), 0);
}

// At the depth limit every walker, the copy of a subtree, the records both
// ways and deletion fit a small stack, sanitizers included.
TEST_F(BrickGroupTest, EverythingThatHandlesATreeFitsTheDepthLimitOnASmallStack)
{
    CBrickGroup* deep = Nest(root.get(), CBrickGroup::kMaxDepth);
    MakeAt(deep, 3, 4, 0)->SetSelected(TRUE);
    EXPECT_FALSE(deep->CanHoldSubGroup());
    EXPECT_TRUE(deep->GetParent()->CanHoldSubGroup());

    CBrickGroup read;
    int collected = 0;
    CBrickGroup* copy = nullptr;
    RunOnStack(kSmallStack, [&] {
        CDizadOet set(root.get(), CDizadOet::modeDizado);
        set.Collect(0);
        collected = set.GetSize();
        root->Broadcast();
        CDetachGroupWalker(root.get()).Walk();
        CAttachGroupWalker(root.get()).Walk();
        copy = root->GetSubGroupAt(0)->Duplicate(CPoint3D(1, 0, 0), root.get());

        CMemFile file;
        {
            CArchive ar(&file, CArchive::store);
            root->WriteSelectedContents(ar);
            ar.Close();
        }
        file.SeekToBegin();
        CArchive ar(&file, CArchive::load);
        read.ReadContents(ar);
    });
    EXPECT_EQ(collected, 1);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetLevelsBelow(), CBrickGroup::kMaxDepth - 1);
    EXPECT_EQ(read.GetLevelsBelow(), CBrickGroup::kMaxDepth);
    EXPECT_EQ(read.CountSelectedDizadoDeep(), 2);

    RunOnStack(kSmallStack, [&] {
        root->DeleteContents();
        read.DeleteContents();
    });
    EXPECT_EQ(root->GetSubGroupCount(), 0);
}
