#include <gtest/gtest.h>

#include "document/nudge_command.h"
#include "document/rotate_command.h"
#include "tests/document/command_fixture.h"

namespace {

using cmdtest::kBlock;
using cmdtest::kLong;
using cmdtest::kPlate;

class TransformCommandTest : public cmdtest::CommandTest {};

TEST_F(TransformCommandTest, NudgeMovesEverySelectedBrickMoveableOrNot)
{
    Make(root, "loose", 0, 0, 0, kPlate, 0, TRUE)->SetMoveable(FALSE);
    Make(root, "unselected", 3, 3);
    CBrickGroup* group = Group(root);
    Make(Group(group), "deep", 6, 0, 1, kBlock, 0, TRUE);

    pane.Clear();
    ExpectRoundTrip(new CNudgeDizadoCommand(root, CPoint3D(0, 0, 1)));
    EXPECT_EQ(Shape(), "loose@0,0,1/o0/c0/sel unselected@3,3,0/o0/c0 ((deep@6,0,2/o0/c0/sel))");
    EXPECT_EQ(Sounds(), std::vector<std::string>(5, "nudg"));
    pane.Clear();
    EditUndo();
    EXPECT_TRUE(Bracketed());
}

// One brick turned alone, then undone and redone: the turn about the box's
// centre, the shift of an odd extent, and the exact way back.
TEST_F(TransformCommandTest, RotateTurnsAboutTheSelectionAndUndoReturnsEveryBrickToItsCell)
{
    struct Case {
        const char* name;
        SHORT classId;
        CPoint3D at;
        SHORT orientation;
        LONG direction;
        CPoint3D turned;
        SHORT turnedOrientation;
    };
    const Case cases[] = {
        {"16 by 8, forward", kLong, CPoint3D(0, 0, 0), 0, 1, CPoint3D(4, -4, 0), 1},
        {"1 by 1 stays in place", kPlate, CPoint3D(1, 0, 0), 0, 1, CPoint3D(1, 0, 0), 1},
        {"3 by 2, forward, odd x", kBlock, CPoint3D(0, 0, 0), 0, 1, CPoint3D(0, -1, 0), 1},
        {"3 by 2, back", kBlock, CPoint3D(0, 0, 5), 0, 0, CPoint3D(1, 0, 5), 3},
        {"2 by 3, back, odd y", kBlock, CPoint3D(0, 0, 0), 1, 0, CPoint3D(-1, 0, 0), 0},
        {"2 by 3 far out, forward", kBlock, CPoint3D(-101, 57, 2), 3, 1, CPoint3D(-101, 58, 2), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CBrick* brick = CBrick::Make(root, c.at, c.classId, 0, 0, c.orientation);
        brick->SetSelected(TRUE);
        auto* rotate = new CRotateDizadoCommand(root, c.direction);
        ExpectRoundTrip(rotate);
        EXPECT_EQ(*brick->GetPositionPtr(), c.turned);
        EXPECT_EQ(brick->GetOrientation(), c.turnedOrientation);
        for (int cycle = 0; cycle < 5; ++cycle) {
            EditUndo();
            EditUndo();
        }
        EXPECT_EQ(*brick->GetPositionPtr(), c.turned);
        EditUndo();
        EXPECT_EQ(*brick->GetPositionPtr(), c.at);
        EXPECT_EQ(brick->GetOrientation(), c.orientation);
        doc->SetLastAction(nullptr);
        delete brick;
    }
    EXPECT_EQ(Sounds().front(), "rota");
}

TEST_F(TransformCommandTest, RotatingASelectionTurnsItRigidlyAndComesBackExactly)
{
    // Extents 5 by 2: a turn one way is shifted, the other way not.
    Make(root, "a", 0, 0, 0, kBlock, 0, TRUE);
    Make(root, "b", 4, 0, 0, kPlate, 0, TRUE);
    Make(Group(root), "c", 3, 1, 0, kPlate, 0, TRUE);
    ASSERT_EQ(root->GetBounds(), CBox3D(0, 0, 0, 5, 2, 1));

    for (LONG direction : {0, 1}) {
        SCOPED_TRACE(direction);
        pane.Clear();
        ExpectRoundTrip(new CRotateDizadoCommand(root, direction));
        EXPECT_TRUE(Bracketed());
        const CBox3D turned = root->GetBounds();
        EXPECT_EQ(turned.Extent(0), 2);
        EXPECT_EQ(turned.Extent(1), 5);
        EditUndo();
    }
}

TEST_F(TransformCommandTest, FourTurnsOneWayBringEveryOrientationBack)
{
    CBrick* a = Make(root, "a", 0, 0, 0, kBlock, 0, TRUE);
    CBrick* b = Make(root, "b", 3, 0, 0, kLong, 0, TRUE);
    for (int turn = 0; turn < 4; ++turn) {
        auto* rotate = new CRotateDizadoCommand(root, 1);
        rotate->Do();
        doc->SetLastAction(rotate);
    }
    EXPECT_EQ(a->GetOrientation(), 0);
    EXPECT_EQ(b->GetOrientation(), 0);
    ExpectSettled();
}

}  // namespace
