#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "foundation/notification_codes.h"
#include "model/brick.h"
#include "model/brick_group.h"
#include "tests/model/model_fixture.h"

using testkit::kBuiltIn;
using testkit::kSquare;
using testkit::kThreePoses;
using testkit::kUnknown;

namespace {

using Codes = std::vector<UINT>;

}  // namespace

class BrickTest : public ModelTest {};

TEST_F(BrickTest, NewBrickHasTheDefaultsAndTheClassBoxAtTheOrigin)
{
    CBrick brick(kThreePoses, nullptr);
    EXPECT_EQ(brick.GetClassId(), kThreePoses);
    EXPECT_EQ(brick.GetPoseCount(), 1);  // not read until the class data are loaded
    EXPECT_EQ(brick.GetPose(), 0);
    EXPECT_EQ(brick.GetOrientation(), 0);
    EXPECT_EQ(brick.GetColorIndex(), 0);
    EXPECT_EQ(brick.GetWorldBox(), CBox3D(0, 0, 0, 1, 1, 1));
    EXPECT_FALSE(brick.IsSelectedFlag());
    EXPECT_TRUE(brick.GetVisibleFlag() && brick.IsSelectableFlag());
    EXPECT_TRUE(brick.IsMoveableFlag() && brick.GetColorableFlag());
    EXPECT_EQ(brick.GetPicture(), nullptr);
    EXPECT_EQ(brick.GetOwner(), nullptr);
    EXPECT_TRUE(brick.IsAutomationEnabled());

    EXPECT_TRUE(brick.Recalc());
    EXPECT_EQ(brick.GetPoseCount(), 3);
    EXPECT_NE(brick.GetPicture(), nullptr);
}

TEST_F(BrickTest, ClassesNobodyHoldsAreRefused)
{
    CBrick made(kUnknown, nullptr);
    EXPECT_EQ(made.GetClassId(), kBuiltIn);

    CBrick changed(kSquare, root.get());
    pane.Clear();
    changed.ChangeType(kUnknown);
    EXPECT_EQ(changed.GetClassId(), kSquare);
    EXPECT_EQ(changed.GetWorldBox(), CBox3D(0, 0, 0, 2, 2, 1));
    EXPECT_EQ(pane.Codes(), (Codes{NOTIFY_CLASS_CHANGING, NOTIFY_CLASS_CHANGED}));

    CBrick* viaMake = MakeAt(root.get(), 1, 2, 3, kUnknown);
    EXPECT_EQ(viaMake->GetClassId(), kBuiltIn);
    EXPECT_EQ(viaMake->GetWorldBox(), CBox3D(1, 2, 3, 2, 3, 4));
}

TEST_F(BrickTest, PoseAndOrientationWrapToTheOtherEnd)
{
    CBrick brick(kThreePoses, nullptr);
    brick.Recalc();
    struct Case {
        SHORT value;
        SHORT pose;
        SHORT orientation;
    };
    const Case cases[] = {{0, 0, 0}, {2, 2, 2}, {3, 0, 3}, {4, 0, 0}, {7, 0, 0}, {-1, 2, 3}, {-30000, 2, 3}};
    for (const Case& c : cases) {
        brick.SetPoseField(c.value);
        brick.SetOrientationField(c.value);
        EXPECT_EQ(brick.GetPose(), c.pose) << c.value;
        EXPECT_EQ(brick.GetOrientation(), c.orientation) << c.value;
    }
    // Pose 1, orientation 1: box (0,0,0)-(2,2,1) from the class's table.
    brick.SetPoseField(1);
    brick.SetOrientationField(1);
    EXPECT_EQ(brick.GetWorldBox(), CBox3D(0, 0, 0, 2, 2, 1));
}

TEST_F(BrickTest, ColoursAreTakenModuloTwelveAndNeverNegative)
{
    struct Case {
        SHORT classId;
        LONG value;
        LONG expected;  // from colour 5
    };
    const Case cases[] = {
        {kBuiltIn, 13, 1},     {kBuiltIn, 12, 0},       {kBuiltIn, 99, 3},      {kBuiltIn, 11, 11},
        {kBuiltIn, -1, 5},     {kBuiltIn, -13, 5},      {kBuiltIn, -12, 5},     {kBuiltIn, 65536 + 7, 7},
        {kBuiltIn, 0x8000, 5},  // -32768 as a 16-bit number: remainder -8
        {kThreePoses, 3, 5},   {kThreePoses, 15, 5},    {kThreePoses, 4, 4},
    };
    for (const Case& c : cases) {
        CBrick brick(c.classId, nullptr);
        brick.SetColorField(5);
        ASSERT_EQ(brick.GetColorIndex(), 5);
        brick.SetColorField(c.value);
        EXPECT_EQ(brick.GetColorIndex(), c.expected) << c.classId << " " << c.value;
    }
    CBrick brick(kBuiltIn, nullptr);
    EXPECT_FALSE(brick.IsColorAllowed(-1));
    EXPECT_TRUE(brick.IsColorAllowed(13));
}

TEST_F(BrickTest, EverySetterSendsItsPair)
{
    CBrick* brick = MakeAt(root.get(), 0, 0, 0, kThreePoses);
    struct Case {
        const char* name;
        std::function<void()> change;
        Codes codes;
    };
    const Case cases[] = {
        {"position", [&] { brick->MoveTo(CPoint3D(1, 1, 1)); }, {NOTIFY_POSITION_CHANGING, NOTIFY_POSITION_CHANGED}},
        {"class", [&] { brick->ChangeType(kSquare); }, {NOTIFY_CLASS_CHANGING, NOTIFY_CLASS_CHANGED}},
        {"colour", [&] { brick->ChangeColor(2); }, {NOTIFY_COLOR_CHANGING, NOTIFY_COLOR_CHANGED}},
        {"pose", [&] { brick->ChangePose(0); }, {NOTIFY_POSE_CHANGING, NOTIFY_POSE_CHANGED}},
        {"orientation", [&] { brick->NextOrientation(); }, {NOTIFY_ORIENTATION_CHANGING, NOTIFY_ORIENTATION_CHANGED}},
        {"selected", [&] { brick->SetSelected(TRUE); }, {NOTIFY_SELECTED_CHANGING, NOTIFY_SELECTED_CHANGED}},
        {"selected again", [&] { brick->SetSelected(TRUE); }, {}},
        {"visible again", [&] { brick->SetVisible(TRUE); }, {}},
        {"visible", [&] { brick->SetVisible(FALSE); }, {NOTIFY_VISIBLE_CHANGING, NOTIFY_VISIBLE_CHANGED}},
        {"selectable again", [&] { brick->SetSelectable(TRUE); },
         {NOTIFY_SELECTABLE_CHANGING, NOTIFY_SELECTABLE_CHANGED}},
        {"moveable again", [&] { brick->SetMoveable(TRUE); }, {NOTIFY_MOVEABLE_CHANGING, NOTIFY_MOVEABLE_CHANGED}},
        {"colorable again", [&] { brick->SetColorable(TRUE); }, {NOTIFY_COLORABLE_CHANGING, NOTIFY_COLORABLE_CHANGED}},
        {"refused colour", [&] { brick->ChangeColor(-3); }, {NOTIFY_COLOR_CHANGING, NOTIFY_COLOR_CHANGED}},
        {"keep", [&] { brick->Delete(FALSE); }, {}},
    };
    for (const Case& c : cases) {
        pane.Clear();
        c.change();
        EXPECT_EQ(pane.Codes(), c.codes) << c.name;
        for (const auto& event : pane.events) {
            EXPECT_EQ(event.sender, NOTIFY_ID_LIST);
            EXPECT_EQ(event.data, reinterpret_cast<LPARAM>(brick));
        }
    }
    EXPECT_EQ(brick->GetColorIndex(), 2);
    EXPECT_EQ(root->GetBrickCount(), 1);

    pane.Clear();
    brick->Delete(TRUE);
    EXPECT_EQ(pane.Codes(), Codes{NOTIFY_BRICK_DELETING});
    EXPECT_EQ(root->GetBrickCount(), 0);
}

TEST_F(BrickTest, BrickWithoutGroupChangesSilently)
{
    CBrick brick(kThreePoses, nullptr);
    brick.ChangePosition(CPoint3D(4, 5, 6));
    brick.ChangePose(2);
    brick.NextOrientation();
    brick.SetSelected(TRUE);
    brick.Delete(FALSE);
    EXPECT_EQ(brick.GetWorldBox(), CBox3D(4, 5, 6, 7, 7, 7));
    EXPECT_TRUE(brick.GetListFlag());
    EXPECT_TRUE(pane.events.empty());
}

TEST_F(BrickTest, MakeSendsItsCodesInOrderAndClosesItsExtentHold)
{
    CBrick* brick = CBrick::Make(root.get(), CPoint3D(2, 3, 0), kThreePoses, 99, 7, 7);
    const Codes expected = {NOTIFY_BRICK_CREATING, NOTIFY_BRICK_JOINING, NOTIFY_BRICK_JOINED, NOTIFY_HOLD_EXTENT,
                            NOTIFY_BRICK_CREATED, NOTIFY_HOLD_EXTENT};
    ASSERT_EQ(pane.Codes(), expected);
    const LPARAM data = reinterpret_cast<LPARAM>(brick);
    EXPECT_EQ(pane.events[0].data, 0);
    EXPECT_EQ(pane.events[1].data, 0);
    EXPECT_EQ(pane.events[2].data, data);
    EXPECT_FALSE(pane.events[3].hold);
    EXPECT_EQ(pane.events[4].data, data);
    EXPECT_TRUE(pane.events[5].hold);
    EXPECT_EQ(pane.extentHolds, 0);
    EXPECT_EQ(pane.rebuildHolds, 0);

    // Values from the caller are checked like stored ones: colour 99 is 3,
    // which this class refuses; pose 7 is past the count.
    EXPECT_EQ(brick->GetColorIndex(), 0);
    EXPECT_EQ(brick->GetPose(), 0);
    EXPECT_EQ(brick->GetOrientation(), 0);
    EXPECT_EQ(brick->GetWorldBox(), CBox3D(2, 3, 0, 3, 4, 1));
    EXPECT_EQ(brick->GetOwner(), root.get());
    EXPECT_NE(brick->GetPicture(), nullptr);
}

TEST_F(BrickTest, MakeDeepInTheTreeReachesThePanesOnceAndBalancesTheHold)
{
    CBrickGroup* deep = Nest(root.get(), 3);
    testkit::Recorder inner;
    deep->AddListener(&inner);
    pane.Clear();
    CBrick* brick = MakeAt(deep, 0, 0, 0);
    EXPECT_EQ(pane.Count(NOTIFY_BRICK_CREATED), 1);
    EXPECT_EQ(pane.extentHolds, 0);
    EXPECT_TRUE(inner.events.empty());
    brick->ChangePosition(CPoint3D(5, 0, 0));
    EXPECT_EQ(pane.Count(NOTIFY_POSITION_CHANGED), 1);
    EXPECT_EQ(pane.events.back().data, reinterpret_cast<LPARAM>(brick));
}

TEST_F(BrickTest, UnopenableClassModuleLeavesPositionAndBox)
{
    CBrick* brick = MakeAt(root.get(), 1, 1, 0);
    services->unavailable = true;
    pane.Clear();
    brick->ChangePosition(CPoint3D(9, 9, 9));
    EXPECT_EQ(*brick->GetPositionPtr(), CPoint3D(1, 1, 0));
    EXPECT_EQ(brick->GetWorldBox(), CBox3D(1, 1, 0, 2, 2, 1));
    EXPECT_EQ(pane.Codes(), (Codes{NOTIFY_POSITION_CHANGING, NOTIFY_POSITION_CHANGED}));

    CBrick orphan(kBuiltIn, nullptr);
    EXPECT_EQ(orphan.GetWorldBox(), CBox3D());
    EXPECT_EQ(orphan.GetPoseCount(), 1);
}

TEST_F(BrickTest, EveryReadingReleasesTheModuleItOpened)
{
    CBrick* brick = MakeAt(root.get(), 0, 0, 0, kThreePoses);
    brick->ChangePose(2);
    brick->ChangeColor(4);
    brick->ChangeType(kSquare);
    brick->Rotate(CPoint3D(0, 0, 0), CPoint3D(), TRUE);
    brick->Duplicate(CPoint3D(1, 0, 0));
    EXPECT_GT(services->opened, 0);
    EXPECT_EQ(services->opened, services->released);
}

TEST_F(BrickTest, RotateTurnsTheBoxAboutTheCentre)
{
    CBrick* brick = MakeAt(root.get(), 0, 0, 0, kThreePoses);
    brick->ChangePose(1);  // (0,0,0)-(2,1,1)
    ASSERT_EQ(brick->GetWorldBox(), CBox3D(0, 0, 0, 2, 1, 1));
    pane.Clear();
    brick->Rotate(CPoint3D(0, 0, 0), CPoint3D(0, 0, 0), TRUE);
    EXPECT_EQ(*brick->GetPositionPtr(), CPoint3D(-1, 0, 0));
    EXPECT_EQ(brick->GetOrientation(), 1);
    EXPECT_EQ(brick->GetWorldBox(), CBox3D(-1, 0, 0, 1, 2, 1));
    EXPECT_EQ(pane.Codes(), (Codes{NOTIFY_POSITION_CHANGING, NOTIFY_POSITION_CHANGED, NOTIFY_ORIENTATION_CHANGING,
                                   NOTIFY_ORIENTATION_CHANGED}));

    brick->Rotate(CPoint3D(0, 0, 0), CPoint3D(0, 0, 0), FALSE);
    EXPECT_EQ(brick->GetOrientation(), 0);
    brick->Rotate(CPoint3D(0, 0, 0), CPoint3D(0, 0, 0), FALSE);
    EXPECT_EQ(brick->GetOrientation(), 3);
}

TEST_F(BrickTest, DuplicateCopiesEveryFieldIntoTheGroupMoved)
{
    CBrick* brick = MakeAt(root.get(), 1, 2, 3, kThreePoses, 7);
    brick->ChangePose(2);
    brick->ChangeOrientation(3);
    brick->SetMoveable(FALSE);
    auto* other = new CBrickGroup;
    other->SetParent(root.get());
    pane.Clear();
    CBrick* copy = brick->Duplicate(CPoint3D(10, 0, -1), other);
    EXPECT_EQ(pane.Codes(), (Codes{NOTIFY_BRICK_JOINING, NOTIFY_BRICK_JOINED, NOTIFY_POSITION_CHANGING,
                                   NOTIFY_POSITION_CHANGED}));
    EXPECT_EQ(copy->GetOwner(), other);
    EXPECT_EQ(*copy->GetPositionPtr(), CPoint3D(11, 2, 2));
    EXPECT_EQ(copy->GetClassId(), kThreePoses);
    EXPECT_EQ(copy->GetPose(), 2);
    EXPECT_EQ(copy->GetOrientation(), 3);
    EXPECT_EQ(copy->GetColorIndex(), 7);
    EXPECT_FALSE(copy->IsMoveableFlag());
    EXPECT_EQ(copy->GetWorldBox(), brick->GetWorldBox() + CPoint3D(10, 0, -1));

    CBrick* sameGroup = brick->Duplicate(CPoint3D());
    EXPECT_EQ(sameGroup->GetOwner(), root.get());
}

TEST_F(BrickTest, OuterGroupAndInvalidationSwitch)
{
    CBrick* top = MakeAt(root.get(), 0, 0, 0);
    auto* outer = new CBrickGroup;
    outer->SetParent(root.get());
    CBrick* deep = MakeAt(Nest(outer, 2), 0, 0, 0);
    CBrick loose(kBuiltIn, nullptr);

    EXPECT_EQ(top->GetOuterGroup(), nullptr);
    EXPECT_EQ(loose.GetOuterGroup(), nullptr);
    EXPECT_EQ(deep->GetOuterGroup(), outer);

    CBrick::SetBrickInvalidation(FALSE);
    EXPECT_FALSE(top->GetListFlag());
    EXPECT_TRUE(loose.GetListFlag());
    CBrick::SetBrickInvalidation(TRUE);
    EXPECT_TRUE(top->GetListFlag());
}

TEST_F(BrickTest, OwnerChangesAnnounceLeavingAndJoining)
{
    CBrick* brick = MakeAt(root.get(), 0, 0, 0);
    auto* group = new CBrickGroup;
    group->SetParent(root.get());
    pane.Clear();
    brick->SetOwner(group);
    EXPECT_EQ(pane.Codes(),
              (Codes{NOTIFY_BRICK_LEAVING, NOTIFY_BRICK_LEFT, NOTIFY_BRICK_JOINING, NOTIFY_BRICK_JOINED}));
    EXPECT_EQ(pane.events[1].data, 0);
    EXPECT_EQ(root->IndexOfBrick(brick), -1);
    EXPECT_EQ(group->IndexOfBrick(brick), 1);
    brick->Detach();
    EXPECT_EQ(brick->GetOwner(), nullptr);
    EXPECT_EQ(group->GetBrickCount(), 0);
    delete brick;
}
