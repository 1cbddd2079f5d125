#include <gtest/gtest.h>

#include "model/brick.h"
#include "model/brick_class_library.h"
#include "model/brick_group.h"
#include "platform/core/resources.h"

namespace {

// The kit that ships with the program, loaded from the build's program folder
// the way the application loads it.
class ShippedKitTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        library.ScanKits();
        SetBrickServices(&library);
    }
    void TearDown() override { SetBrickServices(nullptr); }

    CBrickClassLibrary library{CString(DIZADO_PROGRAM_FOLDER)};
};

TEST_F(ShippedKitTest, LoadsAsAKitOfBricksAndPlates)
{
    const CKitList& kits = *library.GetKitList();
    ASSERT_EQ(kits.GetKitCount(), 1);
    const CBrickKitListData& kit = *kits.GetKitAt(0);
    EXPECT_EQ(kit.m_strLabel, "Basic Bricks");
    EXPECT_GE(kit.GetClassCount(), 24);
    for (INT_PTR i = 0; i < kit.GetClassCount(); ++i) {
        const CBrickModData& entry = *kit.GetClassAt(i);
        EXPECT_NE(entry.m_hPreview, nullptr) << entry.m_nClassId;
        EXPECT_TRUE(library.HasBrickClass(entry.m_nClassId)) << entry.m_nClassId;
    }
}

TEST_F(ShippedKitTest, EveryClassMakesABrickThatTurnsInPlace)
{
    const size_t openBefore = platform::OpenLibraryCount();
    const CBrickKitListData& kit = *library.GetKitList()->GetKitAt(0);
    CBrickGroup root;
    for (INT_PTR i = 0; i < kit.GetClassCount(); ++i) {
        const SHORT classId = kit.GetClassAt(i)->m_nClassId;
        CBrick* brick = CBrick::Make(&root, CPoint3D(3, 4, 0), classId, 2, 0, 0);
        ASSERT_EQ(brick->GetClassId(), classId);
        const CBox3D box = brick->GetWorldBox();
        EXPECT_EQ(box.Min(), CPoint3D(3, 4, 0)) << classId;
        EXPECT_FALSE(box.IsEmpty()) << classId;
        // A quarter turn swaps the footprint and keeps the brick on its cell.
        brick->NextOrientation();
        const CBox3D turned = brick->GetWorldBox();
        EXPECT_EQ(turned.Min(), CPoint3D(3, 4, 0)) << classId;
        EXPECT_EQ(turned.Extent(0), box.Extent(1)) << classId;
        EXPECT_EQ(turned.Extent(1), box.Extent(0)) << classId;
        EXPECT_EQ(turned.Extent(2), box.Extent(2)) << classId;
    }
    // Each class's library was opened once and is held; more bricks of the
    // same classes open nothing, and a new scan of the kits lets go of them.
    const size_t held = platform::OpenLibraryCount();
    EXPECT_EQ(held, openBefore + library.GetHeldModuleCount());
    for (INT_PTR i = 0; i < kit.GetClassCount(); ++i)
        CBrick::Make(&root, CPoint3D(9, 9, 0), kit.GetClassAt(i)->m_nClassId, 1, 0, 0);
    EXPECT_EQ(platform::OpenLibraryCount(), held);
    root.DeleteContents();
    library.ScanKits();
    EXPECT_EQ(library.GetHeldModuleCount(), 0u);
    EXPECT_EQ(platform::OpenLibraryCount(), openBefore);
}

}  // namespace
