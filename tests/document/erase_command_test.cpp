#include <gtest/gtest.h>

#include "document/erase_brick_command.h"
#include "document/erase_group_command.h"
#include "tests/document/command_fixture.h"

namespace {

class EraseCommandTest : public cmdtest::CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        loose = Make(root, "loose", 30, 0, 0, cmdtest::kBlock);
        Make(root, "stays", 0, 0);
        outer = Group(root);
        Make(outer, "a", 5, 0, 0, cmdtest::kPlate, 0, TRUE);
        inner = Group(outer);
        deep = Make(inner, "deep", 7, 0);
    }

    CBrick* loose = nullptr;
    CBrickGroup* outer = nullptr;
    CBrickGroup* inner = nullptr;
    CBrick* deep = nullptr;
};

// Undone, the brick is back in the model and drawn again, and the root's
// bounds take it in.
TEST_F(EraseCommandTest, ErasedLooseBrickComesBackVisibleAndInsideTheBounds)
{
    auto* erase = new CEraseBrickCommand(root, loose);
    ExpectRoundTrip(erase);
    EXPECT_EQ(Sounds().front(), "eras");
    EXPECT_EQ(loose->GetOwner(), nullptr);
    EXPECT_FALSE(erase->IsPresent());

    pane.Clear();
    EditUndo();
    EXPECT_EQ(loose->GetOwner(), root);
    EXPECT_TRUE(Painted().count(loose));
    EXPECT_EQ(root->GetCachedBounds().Max().X(), 33);
}

TEST_F(EraseCommandTest, ErasingABrickOfAGroupTakesItsOuterGroupWhole)
{
    CBrickGroup* group = deep->GetOuterGroup();
    ASSERT_EQ(group, outer);
    ExpectRoundTrip(new CEraseGroupCommand(root, group));
    EXPECT_EQ(Shape(), "loose@30,0,0/o0/c0 stays@0,0,0/o0/c0");

    pane.Clear();
    EditUndo();
    EXPECT_TRUE(Bracketed());
    EXPECT_EQ(outer->GetParent(), root);
    EXPECT_EQ(inner->GetParent(), outer);
    EXPECT_TRUE(Painted().count(deep));
}

TEST_F(EraseCommandTest, ReplacedEraseFreesOnlyWhatIsOut)
{
    for (bool undone : {false, true}) {
        SCOPED_TRACE(undone ? "undone" : "done");
        CBrick* brick = Make(root, "gone", 40, 0);
        CBrickGroup* group = Group(root);
        Make(Group(group), "gone too", 50, 0);
        const cmdtest::Population none{};
        EXPECT_EQ(ReplaceAndCount(new CEraseBrickCommand(root, brick), undone),
                  undone ? none : (cmdtest::Population{1, 0}));
        EXPECT_EQ(ReplaceAndCount(new CEraseGroupCommand(root, group), undone),
                  undone ? none : (cmdtest::Population{1, 2}));
    }
}

}  // namespace
