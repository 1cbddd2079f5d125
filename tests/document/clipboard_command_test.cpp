#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "document/clipboard_command.h"
#include "document/paste_command.h"
#include "model/dizad_oet.h"
#include "platform/core/global_memory.h"
#include "tests/document/command_fixture.h"

namespace {

using Bytes = std::vector<unsigned char>;

class ClipboardCommandTest : public cmdtest::CommandTest {
protected:
    // A loose selected brick, an unselected one, and a group of two whose
    // first brick is selected.
    void SetUp() override
    {
        CommandTest::SetUp();
        loose = Make(root, "loose", 0, 0, 0, cmdtest::kPlate, 1, TRUE);
        other = Make(root, "other", 5, 5, 0, cmdtest::kPlate, 2);
        group = Group(root);
        inGroup = Make(group, "inGroup", 10, 0, 0, cmdtest::kBlock, 4, TRUE);
        Make(group, "partner", 20, 0, 0, cmdtest::kPlate, 6);
    }

    CBrickCommand* Clipboard(SHORT code)
    {
        auto* command = new CClipboardCommand(root, code);
        command->SetDocument(doc.get());
        return command;
    }
    CPasteDizadoCommand* Paste()
    {
        auto* command = new CPasteDizadoCommand(root);
        command->SetDocument(doc.get());
        return command;
    }

    Bytes ClipboardBytes()
    {
        Bytes bytes;
        if (!OpenClipboard(nullptr))
            return bytes;
        if (HGLOBAL block = GetClipboardData(CDizadoDoc::GetClipboardFormat())) {
            const auto* data = static_cast<const unsigned char*>(GlobalLock(block));
            bytes.assign(data, data + GlobalSize(block));
            GlobalUnlock(block);
        }
        CloseClipboard();
        return bytes;
    }
    void PutOnClipboard(const Bytes& bytes)
    {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
        GlobalUnlock(block);
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        ASSERT_NE(SetClipboardData(CDizadoDoc::GetClipboardFormat(), block), nullptr);
        CloseClipboard();
    }

    CBrick* loose = nullptr;
    CBrick* other = nullptr;
    CBrickGroup* group = nullptr;
    CBrick* inGroup = nullptr;
};

TEST_F(ClipboardCommandTest, CutTakesTheSelectionsTopGroupsWholeAndUndoBringsThemBackVisible)
{
    CBrickCommand* cut = Clipboard(CClipboardCommand::codeCut);
    ExpectRoundTrip(cut);
    // Only the cut itself is heard, not its undo or redo.
    EXPECT_EQ(Sounds(), std::vector<std::string>({"eras"}));
    EXPECT_EQ(cut->GetPerformed(), 1u);
    EXPECT_FALSE(ClipboardBytes().empty());

    // Done: only the unselected loose brick is left.
    EXPECT_EQ(Shape(), "other@5,5,0/o0/c2");
    pane.Clear();
    EditUndo();
    EXPECT_TRUE(Bracketed());
    EXPECT_EQ(group->GetParent(), root);
    EXPECT_EQ(Painted(), (std::set<const CBrick*>{loose, inGroup, group->GetBrickAt(1)}));
}

TEST_F(ClipboardCommandTest, ClearLeavesTheClipboardAlone)
{
    ExpectRoundTrip(Clipboard(CClipboardCommand::codeClear));
    EXPECT_TRUE(ClipboardBytes().empty());
    EXPECT_EQ(Sounds().front(), "eras");
}

TEST_F(ClipboardCommandTest, CopyWritesTheClipboardOnceAndItsUndoChangesNothing)
{
    const std::string model = Shape();
    CBrickCommand* copy = Clipboard(CClipboardCommand::codeCopy);
    copy->Do();
    doc->SetLastAction(copy);
    const Bytes written = ClipboardBytes();
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(copy->GetPerformed(), 1u);

    PutOnClipboard({1, 2, 3});
    pane.Clear();
    EditUndo();
    EditUndo();
    EXPECT_EQ(Shape(), model);
    EXPECT_EQ(ClipboardBytes(), Bytes({1, 2, 3}));
    EXPECT_TRUE(pane.events.empty());
    EXPECT_TRUE(Sounds().empty());
}

// Replacing a command while its bricks are out frees them; while they are in
// the model the tree keeps them.
TEST_F(ClipboardCommandTest, ReplacedCommandsFreeOnlyWhatIsOutOfTheModel)
{
    inGroup->SetSelected(FALSE);
    for (SHORT code : {CClipboardCommand::codeCut, CClipboardCommand::codeClear}) {
        SCOPED_TRACE(code);
        loose->SetSelected(TRUE);
        EXPECT_EQ(ReplaceAndCount(Clipboard(code), true), cmdtest::Population{});
        EXPECT_EQ(ReplaceAndCount(Clipboard(code), false), (cmdtest::Population{1, 0}));
        loose = Make(root, "loose", 0, 0, 0, cmdtest::kPlate, 1);
    }
    root->SelectAll(TRUE);
    EXPECT_EQ(ReplaceAndCount(Clipboard(CClipboardCommand::codeCopy), false), cmdtest::Population{});
    EXPECT_EQ(ReplaceAndCount(Clipboard(CClipboardCommand::codeCut), false), (cmdtest::Population{4, 1}));
    EXPECT_EQ(Shape(), "");
}

TEST_F(ClipboardCommandTest, CutWithoutAClipboardKeepsTheBricks)
{
    const std::string model = Shape();
    auto* cut = new CClipboardCommand(root, CClipboardCommand::codeCut);
    cut->Do();
    doc->SetLastAction(cut);
    EXPECT_EQ(Shape(), model);
    EditUndo();
    EXPECT_EQ(Shape(), model);
}

TEST_F(ClipboardCommandTest, PasteAddsSelectedCopiesAndUndoTakesOutWholeGroups)
{
    CBrickCommand* copy = Clipboard(CClipboardCommand::codeCopy);
    copy->Do();
    doc->SetLastAction(copy);
    // Some other selection is what the paste replaces.
    loose->SetSelected(FALSE);
    inGroup->SetSelected(FALSE);
    other->SetSelected(TRUE);
    const int groupsBefore = root->GetSubGroupCount();

    CPasteDizadoCommand* paste = Paste();
    pane.Clear();
    ExpectRoundTrip(paste);
    EXPECT_EQ(Sounds().front(), "clik");

    // The copy of the group is a group again, holding only the copied brick,
    // and lies on top of where it came from.
    ASSERT_EQ(root->GetSubGroupCount(), groupsBefore + 1);
    EXPECT_FALSE(other->IsSelectedFlag());
    const CDizadOet* pasted = paste->GetPastedSet();
    ASSERT_NE(pasted, nullptr);
    ASSERT_EQ(pasted->GetSize(), 1);
    ASSERT_EQ(pasted->GetGroupList()->GetSize(), 1);
    const auto* copiedGroup = dynamic_cast<const CBrickGroup*>(pasted->GetGroupList()->GetAt(0));
    ASSERT_NE(copiedGroup, nullptr);
    ASSERT_EQ(copiedGroup->GetBrickCount(), 1);
    EXPECT_EQ(*copiedGroup->GetBrickAt(0)->GetPositionPtr(), *inGroup->GetPositionPtr());
    EXPECT_TRUE(copiedGroup->GetBrickAt(0)->IsSelectedFlag());

    // Undone, the pasted group is not left behind empty.
    EditUndo();
    EXPECT_EQ(root->GetSubGroupCount(), groupsBefore);
    EXPECT_TRUE(other->IsSelectedFlag());
}

TEST_F(ClipboardCommandTest, PasteWithoutBrickDataOnlyDeselects)
{
    const std::string model = Shape();
    ExpectRoundTrip(Paste());
    EXPECT_FALSE(loose->IsSelectedFlag());
    EXPECT_FALSE(inGroup->IsSelectedFlag());
    EditUndo();
    EXPECT_EQ(Shape(), model);
    EXPECT_TRUE(messages.empty());
}

// A record that breaks off part way keeps what was read before the break,
// and the paste stays one undoable edit.
TEST_F(ClipboardCommandTest, DamagedClipboardDataKeepsWhatWasReadAsOneUndoablePaste)
{
    CBrickCommand* copy = Clipboard(CClipboardCommand::codeCopy);
    copy->Do();
    doc->SetLastAction(copy);
    Bytes bytes = ClipboardBytes();
    ASSERT_GT(bytes.size(), 20u);

    struct Case {
        const char* name;
        size_t keep;  // bytes kept of the written record
        int bricks;   // bricks that arrive
    };
    // The record: its block, the loose brick, then the group's record with the
    // group's brick. Cutting into the group's brick keeps the loose brick and
    // the group; cutting into the loose brick keeps nothing.
    const Case cases[] = {{"inside the last brick", bytes.size() - 10, 1}, {"inside the first brick", 60, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PutOnClipboard(Bytes(bytes.begin(), bytes.begin() + static_cast<long>(c.keep)));
        messages.clear();
        const std::string before = Shape();
        const int bricksBefore = root->GetBrickCount();

        CPasteDizadoCommand* paste = Paste();
        paste->Do();
        doc->SetLastAction(paste);
        EXPECT_EQ(messages.size(), 1u);
        EXPECT_EQ(root->GetBrickCount(), bricksBefore + c.bricks);
        ExpectSettled();

        const std::string after = Shape();
        EditUndo();
        EXPECT_EQ(Shape(), before);
        EditUndo();
        EXPECT_EQ(Shape(), after);
        EditUndo();
        ExpectSettled();
    }
}

// Files and automation can select only some bricks of a group. A Cut takes
// the group out whole, so it copies it whole: once the Cut is replaced, the
// clipboard still holds every brick it took out, and pastes them all
// selected, so that undoing the paste takes them all out again.
TEST_F(ClipboardCommandTest, CutCopiesEverythingItTakesOut)
{
    Make(Group(group), "deep", 30, 0, 0);
    const std::string model = Shape();

    doc->OnEditCut();
    EXPECT_EQ(Shape(), "other@5,5,0/o0/c2");
    // Undone, the group is back as it was, selected in part.
    EditUndo();
    EXPECT_EQ(Shape(), model);
    EditUndo();
    doc->SetLastAction(nullptr);

    doc->OnEditPaste();
    ASSERT_EQ(root->GetSubGroupCount(), 1);
    const CBrickGroup* pasted = root->GetSubGroupAt(0);
    ASSERT_EQ(pasted->GetBrickCount(), 2);
    ASSERT_EQ(pasted->GetSubGroupCount(), 1);
    ASSERT_EQ(pasted->GetSubGroupAt(0)->GetBrickCount(), 1);
    EXPECT_EQ(pasted->CountSelectedDizadoDeep(), 3);
    EXPECT_EQ(root->GetBrickCount(), 2);
    EXPECT_TRUE(messages.empty());

    EditUndo();
    EXPECT_EQ(Shape(), "other@5,5,0/o0/c2");
}

// Another program holds the clipboard: Copy and Cut say so, and leave the
// model, the clipboard and the undo held before as they were.
TEST_F(ClipboardCommandTest, ClipboardThatCannotBeOpenedIsReportedAndChangesNothing)
{
    PutOnClipboard({1, 2, 3});
    const std::string model = Shape();
    for (void (CDizadoDoc::*handler)() : {&CDizadoDoc::OnEditCopy, &CDizadoDoc::OnEditCut}) {
        auto* previous = new CBrickCommand(CBrickCommand::labelMove);
        doc->SetLastAction(previous);
        messages.clear();
        pane.Clear();

        ASSERT_TRUE(OpenClipboard(nullptr));
        (doc.get()->*handler)();
        CloseClipboard();

        EXPECT_EQ(messages, std::vector<std::string>{"The bricks could not be put on the clipboard."});
        EXPECT_EQ(doc->GetLastAction(), previous);
        EXPECT_EQ(Shape(), model);
        EXPECT_TRUE(Sounds().empty());
        ExpectSettled();
        EXPECT_EQ(ClipboardBytes(), Bytes({1, 2, 3}));
    }
}

}  // namespace
