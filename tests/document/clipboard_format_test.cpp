#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "document/clipboard_format.h"
#include "platform/core/exceptions.h"
#include "tests/document/document_fixture.h"

using namespace doctest;

namespace {

Bytes BlockBytes(HGLOBAL block)
{
    const auto* data = static_cast<const unsigned char*>(GlobalLock(block));
    Bytes bytes(data, data + GlobalSize(block));
    GlobalUnlock(block);
    return bytes;
}

HGLOBAL BlockOf(const Bytes& bytes)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!bytes.empty())
        std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
    return block;
}

// Frees a test's block however the test ends.
struct OwnedBlock {
    explicit OwnedBlock(HGLOBAL b) : block(b) {}
    ~OwnedBlock() { GlobalFree(block); }
    HGLOBAL block;
};

}  // namespace

TEST_F(DocumentTest, FormatIsRegisteredByName)
{
    EXPECT_NE(CDizadoDoc::GetClipboardFormat(), 0u);
    EXPECT_EQ(CDizadoDoc::GetClipboardFormat(), RegisterClipboardFormatA("Vostrel Dizado Data"));
}

TEST_F(DocumentTest, CopyOfOneRootBrickPutsOneRecordOnTheClipboard)
{
    MakeAt(Root(), 5, 6, 0, 3)->SetSelected(TRUE);
    MakeAt(Root(), 9, 9, 0);
    CCmdUI paste(IDM_EDIT_PASTE);
    doc->OnUpdateEditPaste(&paste);
    EXPECT_FALSE(paste.m_bEnabled);

    ASSERT_TRUE(doc->CopyToClipboard());
    ASSERT_TRUE(OpenClipboard(nullptr));
    const Bytes bytes = BlockBytes(GetClipboardData(CDizadoDoc::GetClipboardFormat()));
    CloseClipboard();

    BrickFields f;
    f.x = 5, f.y = 6, f.colour = 3, f.selected = TRUE;
    const Bytes record = GroupHead(1, 0) + BrickRecord(f);
    ASSERT_EQ(record.size(), 154u);
    ASSERT_GE(bytes.size(), record.size());
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 154), record);
    doc->OnUpdateEditPaste(&paste);
    EXPECT_TRUE(paste.m_bEnabled);
}

TEST_F(DocumentTest, GroupedSelectionTravelsAsANewSubGroup)
{
    CBrickGroup* group = SubGroup(Root());
    MakeAt(group, 1, 0, 0)->SetSelected(TRUE);
    MakeAt(group, 2, 0, 0);
    OwnedBlock block(WriteNativeBlock(*Root()));

    CBrickGroup target;
    ReadNativeBlock(block.block, &target);
    EXPECT_EQ(target.GetBrickCount(), 0);
    ASSERT_EQ(target.GetSubGroupCount(), 1);
    ASSERT_EQ(target.GetSubGroupAt(0)->GetBrickCount(), 1);
    EXPECT_TRUE(target.GetSubGroupAt(0)->GetBrickAt(0)->IsSelectedFlag());
}

TEST_F(DocumentTest, PastingTwiceAddsTwoSelectedSetsInPlace)
{
    MakeAt(Root(), 3, 4, 5)->SetSelected(TRUE);
    ASSERT_TRUE(doc->CopyToClipboard());
    doc->DeleteContents();
    doc->PasteFromClipboard();
    doc->PasteFromClipboard();
    ASSERT_EQ(Root()->GetBrickCount(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(*Root()->GetBrickAt(i)->GetPositionPtr(), CPoint3D(3, 4, 5));
        EXPECT_TRUE(Root()->GetBrickAt(i)->IsSelectedFlag());
    }
    EXPECT_EQ(shell.waitDepth, 0);
}

TEST_F(DocumentTest, ReaderTakesOnlyTheRecordOfALargerBlock)
{
    BrickFields f;
    OwnedBlock block(BlockOf(GroupHead(1, 0) + BrickRecord(f) + Bytes(4000, 0xEE)));
    doc->ReadNativeData(block.block);
    EXPECT_EQ(Root()->GetBrickCount(), 1);
}

TEST_F(DocumentTest, DamagedBlocksThrowAndKeepWhatWasRead)
{
    BrickFields f;
    const Bytes whole = GroupHead(2, 1) + BrickRecord(f) + BrickRecord(f) + GroupHead(1, 0) + BrickRecord(f);
    const size_t firstBrickEnd = GroupHead(2, 1).size() + BrickRecord(f).size();
    for (size_t length = 0; length < whole.size(); ++length) {
        CBrickGroup target;
        OwnedBlock block(BlockOf(Bytes(whole.begin(), whole.begin() + static_cast<long>(length))));
        EXPECT_THROW(ReadNativeBlock(block.block, &target), CArchiveException) << length;
        if (length >= firstBrickEnd) {
            EXPECT_GE(target.GetBrickCount(), 1) << length;
        }
    }
    const struct {
        const char* label;
        Bytes bytes;
    } huge[] = {
        {"block length", Be32(0xFFFFFFF0u) + Bytes(24, 0)},
        {"brick count", GroupHead(0x7FFFFFFFu, 0) + BrickRecord(f)},
        {"group count", GroupHead(0, 0x10000000u) + GroupHead(0, 0)},
    };
    for (const auto& c : huge) {
        CBrickGroup target;
        OwnedBlock block(BlockOf(c.bytes));
        EXPECT_THROW(ReadNativeBlock(block.block, &target), CArchiveException) << c.label;
    }
}

TEST_F(DocumentTest, DamagedClipboardPasteIsReportedAndBalanced)
{
    MakeAt(Root(), 0, 0, 0)->SetSelected(TRUE);
    const Bytes cut = GroupHead(3, 0) + BrickRecord(BrickFields{});
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    ASSERT_NE(SetClipboardData(CDizadoDoc::GetClipboardFormat(), BlockOf(cut)), nullptr);
    CloseClipboard();

    doc->OnEditPaste();
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(Root()->GetBrickCount(), 2);
    EXPECT_EQ(pane.rebuildOpen, 0);
    EXPECT_EQ(pane.extentOpen, 0);
    EXPECT_EQ(shell.waitDepth, 0);
}

// A payload nested deeper than a model may be (another program's, or a
// crafted one) pastes every brick, the groups past the limit merged into the
// deepest one there is room for; undo takes it all out again.
TEST_F(DocumentTest, PasteOfAPayloadPastTheDepthLimitFlattensItsDeepestGroups)
{
    BrickFields f;
    f.selected = TRUE;
    Bytes payload = GroupHead(0, 1);
    for (int level = 1; level < CBrickGroup::kMaxDepth + 5; ++level) {
        const Bytes record = level == CBrickGroup::kMaxDepth ? GroupHead(1, 1) + BrickRecord(f) : GroupHead(0, 1);
        payload.insert(payload.end(), record.begin(), record.end());
    }
    payload = payload + GroupHead(1, 0) + BrickRecord(f);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    ASSERT_NE(SetClipboardData(CDizadoDoc::GetClipboardFormat(), BlockOf(payload)), nullptr);
    CloseClipboard();

    doc->OnEditPaste();
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(Root()->GetLevelsBelow(), CBrickGroup::kMaxDepth);
    EXPECT_EQ(Root()->CountSelectedDizadoDeep(), 2);
    doc->OnEditUndo();
    EXPECT_EQ(Root()->GetSubGroupCount(), 0);
}
