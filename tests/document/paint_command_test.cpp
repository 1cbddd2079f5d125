#include <gtest/gtest.h>

#include "document/color_command.h"
#include "document/paint_brick_command.h"
#include "tests/document/command_fixture.h"

namespace {

using cmdtest::CommandTest;
using cmdtest::kYellow;

class PaintCommandTest : public CommandTest {};

TEST_F(PaintCommandTest, PaintUndoRestoresTheFormerColourEvenWhenTheClassRefusedTheNewOne)
{
    struct Case {
        SHORT classId;
        LONG paint;
        LONG shown;  // after the paint
    };
    const Case cases[] = {{cmdtest::kPlate, kYellow, kYellow}, {cmdtest::kNoYellow, kYellow, 5}};
    for (const Case& c : cases) {
        CBrick* brick = Make(root, "painted", 0, 0, 0, c.classId, 5);
        ExpectRoundTrip(new CPaintBrickCommand(brick, c.paint));
        EXPECT_EQ(brick->GetColorIndex(), c.shown);
        EXPECT_EQ(Sounds(), std::vector<std::string>(5, "buck"));
        doc->SetLastAction(nullptr);
        delete brick;
    }
}

TEST_F(PaintCommandTest, ColourUndoGivesEachBrickItsOwnColourBack)
{
    Make(root, "red", 0, 0, 0, cmdtest::kPlate, 2, TRUE);
    CBrickGroup* group = Group(root);
    Make(group, "green", 2, 0, 0, cmdtest::kPlate, 7, TRUE);
    Make(group, "unselected", 4, 0, 0, cmdtest::kPlate, 9);
    Make(root, "refuses yellow", 6, 0, 0, cmdtest::kNoYellow, 1, TRUE);

    pane.Clear();
    ExpectRoundTrip(new CColorDizadoCommand(root, kYellow));
    EXPECT_EQ(Shape(),
              "red@0,0,0/o0/c3/sel refuses yellow@6,0,0/o0/c1/sel (green@2,0,0/o0/c3/sel unselected@4,0,0/o0/c9)");
    EXPECT_TRUE(Sounds().empty());
    EXPECT_EQ(pane.Count(NOTIFY_HOLD_REBUILD), 0);
}

}  // namespace
