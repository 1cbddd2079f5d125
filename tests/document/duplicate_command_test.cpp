#include <gtest/gtest.h>

#include "document/duplicate_command.h"
#include "tests/document/command_fixture.h"

namespace {

using cmdtest::kBlock;
using cmdtest::kPlate;

class DuplicateCommandTest : public cmdtest::CommandTest {
protected:
    CBrickCommand* Duplicate() { return new CDuplicateDizadoCommand(root, CPoint3D(2, -2, 0)); }
};

TEST_F(DuplicateCommandTest, CopiesGroupsWholeAndLooseBricksAndRedoBringsBackTheSameCopies)
{
    Make(root, "loose", 0, 0, 0, kPlate, 3, TRUE);
    Make(root, "unselected", 9, 9);
    CBrickGroup* group = Group(root);
    Make(group, "picked", 4, 4, 0, kBlock, 0, TRUE);
    Make(Group(group), "deep", 6, 6);

    auto* duplicate = Duplicate();
    ExpectRoundTrip(duplicate);
    EXPECT_TRUE(Sounds().empty());

    // The copies, selected, beside the deselected originals; the group is
    // copied with its sub-group.
    ASSERT_EQ(root->GetSubGroupCount(), 2);
    const CBrickGroup* copy = root->GetSubGroupAt(0) == group ? root->GetSubGroupAt(1) : root->GetSubGroupAt(0);
    EXPECT_EQ(Shape(copy), "new5@6,2,0/o0/c0/sel (new6@8,4,0/o0/c0/sel)");
    EXPECT_EQ(Shape(group), "picked@4,4,0/o0/c0 (deep@6,6,0/o0/c0)");
    EXPECT_NE(Shape().find("loose@0,0,0/o0/c3 "), std::string::npos);
    EXPECT_NE(Shape().find("new4@2,-2,0/o0/c3/sel"), std::string::npos);

    // Undone, the originals are the selection again.
    EditUndo();
    EXPECT_EQ(root->GetSubGroupCount(), 1);
    EXPECT_TRUE(group->GetBrickAt(0)->IsSelectedFlag());

    // Redone, the copies are drawn again.
    pane.Clear();
    EditUndo();
    EXPECT_TRUE(Bracketed());
    std::set<const CBrick*> copies{copy->GetBrickAt(0), copy->GetSubGroupAt(0)->GetBrickAt(0)};
    for (const CBrick* brick : copies)
        EXPECT_TRUE(Painted().count(brick));
}

TEST_F(DuplicateCommandTest, NothingSelectedCopiesNothingButIsStillTheLastCommand)
{
    Make(root, "alone", 0, 0);
    const std::string model = Shape();
    ExpectRoundTrip(Duplicate());
    EXPECT_EQ(Shape(), model);
    EXPECT_NE(doc->GetLastAction(), nullptr);
}

TEST_F(DuplicateCommandTest, ReplacedWhileUndoneFreesTheCopies)
{
    Make(root, "loose", 0, 0, 0, kPlate, 0, TRUE);
    Make(Group(root), "grouped", 3, 0, 0, kPlate, 0, TRUE);
    const std::string model = Shape();
    EXPECT_EQ(ReplaceAndCount(Duplicate(), true), cmdtest::Population{});
    EXPECT_EQ(Shape(), model);
    // Done, the copies stay in the model.
    EXPECT_EQ(ReplaceAndCount(Duplicate(), false), (cmdtest::Population{-2, -1}));
}

}  // namespace
