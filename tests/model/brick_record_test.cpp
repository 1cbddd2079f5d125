#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "foundation/notification_codes.h"
#include "model/brick.h"
#include "model/brick_group.h"
#include "platform/core/archive.h"
#include "platform/core/exceptions.h"
#include "platform/core/file.h"
#include "tests/model/model_fixture.h"

namespace tk = testkit;
using tk::Bytes;

namespace {

Bytes Be32(DWORD value)
{
    return {static_cast<unsigned char>(value >> 24), static_cast<unsigned char>(value >> 16),
            static_cast<unsigned char>(value >> 8), static_cast<unsigned char>(value)};
}

Bytes Be16s(int x, int y, int z)
{
    Bytes out;
    for (int v : {x, y, z}) {
        out.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
        out.push_back(static_cast<unsigned char>(v & 0xFF));
    }
    return out;
}

using Chunks = std::vector<std::pair<std::string, Bytes>>;

// A length-prefixed block of chunks, as the records are written.
Bytes Record(const Chunks& chunks)
{
    Bytes block;
    for (const auto& [tag, data] : chunks) {
        block.insert(block.end(), tag.begin(), tag.end());
        const Bytes length = Be32(static_cast<DWORD>(data.size()));
        block.insert(block.end(), length.begin(), length.end());
        block.insert(block.end(), data.begin(), data.end());
    }
    Bytes out = Be32(static_cast<DWORD>(block.size()));
    out.insert(out.end(), block.begin(), block.end());
    return out;
}

Bytes GroupRecord(DWORD bricks, DWORD groups)
{
    return Record({{"bcnt", Be32(bricks)}, {"gcnt", Be32(groups)}});
}

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

template <typename Write>
Bytes Written(Write write)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        write(ar);
        ar.Close();
    }
    return file.GetData();
}

template <typename Read>
void ReadFrom(const Bytes& bytes, Read read)
{
    CMemFile file(bytes.data(), bytes.size());
    CArchive ar(&file, CArchive::load);
    read(ar);
}

}  // namespace

class BrickRecordTest : public ModelTest {};

TEST_F(BrickRecordTest, BrickRecordIsBigEndianChunksInTableOrder)
{
    CBrick brick(tk::kThreePoses, nullptr);
    brick.SetPoseField(2);
    brick.SetOrientationField(3);
    brick.SetColorField(10);
    brick.SetPositionField(CPoint3D(-2, 300, 5));
    brick.SetSelectable(FALSE);
    brick.SetSelected(TRUE);
    const Bytes bytes = Written([&](CArchive& ar) { brick.Store(ar); });
    const Bytes expected = Record({{"ptyp", Be32(2000)},
                                   {"pose", Be32(2)},
                                   {"angl", Be32(3)},
                                   {"colr", Be32(10)},
                                   {"pvis", Be32(1)},
                                   {"sble", Be32(0)},
                                   {"mble", Be32(1)},
                                   {"cble", Be32(1)},
                                   {"ppos", Be16s(-2, 300, 5)},
                                   {"selc", Be32(1)}});
    ASSERT_EQ(bytes.size(), 4u + 122u);
    EXPECT_EQ(bytes, expected);

    CBrick copy;
    ReadFrom(bytes, [&](CArchive& ar) { copy.Load(ar); });
    EXPECT_EQ(copy.GetClassId(), tk::kThreePoses);
    EXPECT_EQ(copy.GetPose(), 2);
    EXPECT_EQ(copy.GetOrientation(), 3);
    EXPECT_EQ(copy.GetColorIndex(), 10);
    EXPECT_EQ(*copy.GetPositionPtr(), CPoint3D(-2, 300, 5));
    EXPECT_EQ(copy.GetWorldBox(), brick.GetWorldBox());
    EXPECT_FALSE(copy.IsSelectableFlag());
    EXPECT_TRUE(copy.IsSelectedFlag() && copy.GetVisibleFlag());
    EXPECT_NE(copy.GetPicture(), nullptr);
}

TEST_F(BrickRecordTest, StoredValuesGoThroughTheRawSetters)
{
    struct Case {
        const char* name;
        Chunks chunks;
        SHORT classId;
        SHORT pose;
        SHORT orientation;
        LONG colour;
        CPoint3D position;
        BOOL visible;
    };
    const Chunks typical = {{"ptyp", Be32(2000)}, {"ppos", Be16s(1, 2, 3)}, {"pvis", Be32(1)}};
    auto with = [&](std::string tag, Bytes data) {
        Chunks chunks = typical;
        chunks.push_back({std::move(tag), std::move(data)});
        return chunks;
    };
    const Case cases[] = {
        {"colour 99", with("colr", Be32(99)), 2000, 0, 0, 0, {1, 2, 3}, TRUE},  // 3 is refused by this class
        {"colour 23", with("colr", Be32(23)), 2000, 0, 0, 11, {1, 2, 3}, TRUE},
        {"colour -1", with("colr", Be32(0xFFFFFFFF)), 2000, 0, 0, 0, {1, 2, 3}, TRUE},
        {"orientation 7", with("angl", Be32(7)), 2000, 0, 0, 0, {1, 2, 3}, TRUE},
        {"orientation high bits", with("angl", Be32(0x00050002)), 2000, 0, 2, 0, {1, 2, 3}, TRUE},
        {"pose past the count", with("pose", Be32(3)), 2000, 0, 0, 0, {1, 2, 3}, TRUE},
        {"pose -1", with("pose", Be32(0xFFFFFFFF)), 2000, 2, 0, 0, {1, 2, 3}, TRUE},
        {"unknown class",
         {{"ptyp", Be32(2999)}, {"colr", Be32(3)}, {"ppos", Be16s(4, 5, 6)}},
         1030, 0, 0, 3, {4, 5, 6}, FALSE},
        {"damaged class", {{"ptyp", Be32(tk::kShortClass)}, {"pvis", Be32(7)}}, 1030, 0, 0, 0, {0, 0, 0}, TRUE},
        {"class in the low bits", {{"ptyp", Be32(0x00010000 + 2001)}}, 2001, 0, 0, 0, {0, 0, 0}, FALSE},
        {"short position", {{"ptyp", Be32(1030)}, {"ppos", Bytes{0, 1, 0, 2}}}, 1030, 0, 0, 0, {0, 0, 0}, FALSE},
        {"nothing", {}, 1030, 0, 0, 0, {0, 0, 0}, FALSE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CBrick brick;
        ReadFrom(Record(c.chunks), [&](CArchive& ar) { brick.Load(ar); });
        EXPECT_EQ(brick.GetClassId(), c.classId);
        EXPECT_EQ(brick.GetPose(), c.pose);
        EXPECT_EQ(brick.GetOrientation(), c.orientation);
        EXPECT_EQ(brick.GetColorIndex(), c.colour);
        EXPECT_EQ(*brick.GetPositionPtr(), c.position);
        EXPECT_EQ(brick.GetVisibleFlag(), c.visible);
        EXPECT_FALSE(brick.IsSelectedFlag() || brick.IsSelectableFlag() || brick.IsMoveableFlag());
    }
}

TEST_F(BrickRecordTest, TreeComesBackWithSubGroupsInReverse)
{
    MakeAt(root.get(), 1, 0, 0, tk::kSquare, 4);
    auto* second = new CBrickGroup;
    second->SetParent(root.get());
    MakeAt(second, 5, 5, 0)->SetSelected(TRUE);
    MakeAt(second, 6, 5, 0);
    auto* nested = new CBrickGroup;
    nested->SetParent(second);
    MakeAt(nested, 9, 9, 9);
    auto* first = new CBrickGroup;
    first->SetParent(root.get());
    MakeAt(first, -3, 0, 0, tk::kThreePoses, 2);
    const Bytes bytes = Written([&](CArchive& ar) { root->Serialize(ar); });

    CBrickGroup copy;
    testkit::Recorder listener;
    copy.AddListener(&listener);
    ReadFrom(bytes, [&](CArchive& ar) { copy.Serialize(ar); });
    EXPECT_EQ(listener.Count(NOTIFY_BRICK_CREATED), 5);
    ASSERT_EQ(copy.GetBrickCount(), 1);
    EXPECT_EQ(copy.GetBrickAt(0)->GetColorIndex(), 4);
    ASSERT_EQ(copy.GetSubGroupCount(), 2);
    CBrickGroup* readFirst = copy.GetSubGroupAt(0);
    CBrickGroup* readSecond = copy.GetSubGroupAt(1);
    ASSERT_EQ(readFirst->GetBrickCount(), 2);  // the old second group
    EXPECT_TRUE(readFirst->GetBrickAt(0)->IsSelectedFlag());
    EXPECT_EQ(*readFirst->GetBrickAt(1)->GetPositionPtr(), CPoint3D(6, 5, 0));
    ASSERT_EQ(readFirst->GetSubGroupCount(), 1);
    EXPECT_EQ(readFirst->GetSubGroupAt(0)->GetBrickCount(), 1);
    ASSERT_EQ(readSecond->GetBrickCount(), 1);
    EXPECT_EQ(readSecond->GetBrickAt(0)->GetClassId(), tk::kThreePoses);
    EXPECT_EQ(copy.GetCachedBounds(), root->GetCachedBounds());
    EXPECT_EQ(copy.GetCachedBounds(), copy.GetBounds());
    copy.RemoveListener(&listener);
}

TEST_F(BrickRecordTest, EmptyGroupRecordAndSelectedContents)
{
    EXPECT_EQ(Written([&](CArchive& ar) { root->WriteContents(ar); }), GroupRecord(0, 0));
    EXPECT_EQ(GroupRecord(0, 0).size(), 4u + 24u);

    MakeAt(root.get(), 0, 0, 0);
    MakeAt(root.get(), 1, 0, 0)->SetSelected(TRUE);
    auto* holding = new CBrickGroup;
    holding->SetParent(root.get());
    auto* inner = new CBrickGroup;
    inner->SetParent(holding);
    MakeAt(holding, 2, 0, 0);
    MakeAt(inner, 3, 0, 0)->SetSelected(TRUE);
    auto* other = new CBrickGroup;
    other->SetParent(root.get());
    MakeAt(other, 4, 0, 0);

    const Bytes bytes = Written([&](CArchive& ar) { root->WriteSelectedContents(ar); });
    CBrickGroup copy;
    ReadFrom(bytes, [&](CArchive& ar) { copy.ReadContents(ar); });
    ASSERT_EQ(copy.GetBrickCount(), 1);
    EXPECT_EQ(*copy.GetBrickAt(0)->GetPositionPtr(), CPoint3D(1, 0, 0));
    ASSERT_EQ(copy.GetSubGroupCount(), 1);
    CBrickGroup* readHolding = copy.GetSubGroupAt(0);
    EXPECT_EQ(readHolding->GetBrickCount(), 0);
    ASSERT_EQ(readHolding->GetSubGroupCount(), 1);
    EXPECT_EQ(readHolding->GetSubGroupAt(0)->GetBrickCount(), 1);
}

TEST_F(BrickRecordTest, DamagedRecordsThrowAndLeaveNoPhantom)
{
    const Bytes brick = Record({{"ptyp", Be32(1030)}, {"ppos", Be16s(1, 1, 1)}});
    Bytes truncatedBrick = Record({{"ptyp", Be32(1030)}, {"ppos", Be16s(2, 2, 2)}});
    truncatedBrick.resize(truncatedBrick.size() - 5);
    struct Case {
        const char* name;
        Bytes bytes;
        int bricksLeft;
    };
    const Case cases[] = {
        {"group length past the end", Be32(1000) + Bytes(10, 0), 0},
        {"brick count past the end", GroupRecord(0x7FFFFFFF, 0) + brick, 0},
        {"group count past the end", GroupRecord(0, 0xFFFFFFFF), 0},
        {"brick length past the end", GroupRecord(1, 0) + Be32(0xFFFFFFF0) + Bytes(8, 0), 0},
        {"second brick cut short", GroupRecord(2, 0) + brick + truncatedBrick, 1},
        {"no group record", Bytes{0, 0}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CBrickGroup group;
        testkit::Recorder listener;
        group.AddListener(&listener);
        EXPECT_THROW(ReadFrom(c.bytes, [&](CArchive& ar) { group.ReadContents(ar); }), CArchiveException);
        EXPECT_EQ(group.GetBrickCount(), c.bricksLeft);
        EXPECT_EQ(listener.Count(NOTIFY_BRICK_JOINED), c.bricksLeft);
        EXPECT_EQ(listener.Count(NOTIFY_BRICK_CREATED), c.bricksLeft);
        EXPECT_EQ(group.GetSubGroupCount(), 0);
        group.RemoveListener(&listener);
    }
}

// Older files may nest deeper than a model can: the groups past the limit
// are not made, and their bricks go to the deepest group there is room for.
TEST_F(BrickRecordTest, GroupsPastTheDepthLimitAreFlattenedIntoTheDeepestOne)
{
    const Bytes brick = Record({{"ptyp", Be32(1030)}, {"ppos", Be16s(1, 1, 1)}});
    // `depth` nested records below the top one, a brick in the top record, a
    // brick in the last, and one record just past the limit beside its
    // deeper sibling.
    auto nested = [&](int depth) {
        Bytes bytes = GroupRecord(1, 1) + brick;
        auto append = [&bytes](const Bytes& more) { bytes.insert(bytes.end(), more.begin(), more.end()); };
        for (int level = 1; level < depth; ++level)
            append(GroupRecord(0, level == CBrickGroup::kMaxDepth ? 2 : 1));
        append(GroupRecord(1, 0) + brick);
        if (depth > CBrickGroup::kMaxDepth)
            append(GroupRecord(1, 0) + brick);
        return bytes;
    };
    auto bricksIn = [](const CBrickGroup& top) {
        int count = 0;
        for (const CBrickGroup* group = &top; group; group = group->GetSubGroupAt(0))
            count += group->GetBrickCount();
        return count;
    };
    auto deepest = [](CBrickGroup& top) {
        CBrickGroup* group = &top;
        while (group->GetSubGroupCount() > 0)
            group = group->GetSubGroupAt(0);
        return group;
    };
    const struct {
        int depth;
        int above;  // groups above the one read into
        int levels;
        int bricksInDeepest;
    } cases[] = {
        {CBrickGroup::kMaxDepth, 0, CBrickGroup::kMaxDepth, 1},
        {CBrickGroup::kMaxDepth + 1, 0, CBrickGroup::kMaxDepth, 2},
        {100000, 0, CBrickGroup::kMaxDepth, 2},
        {10, CBrickGroup::kMaxDepth - 4, 4, 1},
        {10, CBrickGroup::kMaxDepth, 0, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.depth << " deep into a group at depth " << c.above);
        CBrickGroup top;
        CBrickGroup* into = Nest(&top, c.above);
        ReadFrom(nested(c.depth), [&](CArchive& ar) { into->ReadContents(ar); });
        EXPECT_EQ(into->GetLevelsBelow(), c.levels);
        EXPECT_EQ(deepest(top)->GetDepth(), std::min(c.above + c.depth, CBrickGroup::kMaxDepth));
        EXPECT_EQ(deepest(top)->GetBrickCount(), c.bricksInDeepest);
        EXPECT_EQ(bricksIn(top), c.depth > CBrickGroup::kMaxDepth ? 3 : 2);
    }
}

TEST_F(BrickRecordTest, ClassNoKitProvidesIsShownAsTheDefaultAndWrittenBackAsRead)
{
    CBrickGroup root;
    auto* brick = new CBrick(&root);
    ReadFrom(Record({{"ptyp", Be32(2999)}, {"pose", Be32(2)}, {"ppos", Be16s(4, 5, 6)}}),
             [&](CArchive& ar) { brick->Load(ar); });
    EXPECT_EQ(brick->GetClassId(), IDC_BUILTIN_CLASS);
    EXPECT_EQ(brick->GetPose(), 0);
    EXPECT_TRUE(brick->IsClassMissing());

    const auto storedClass = [](const CBrick& b) {
        const Bytes bytes = Written([&](CArchive& ar) { b.Store(ar); });
        return Bytes(bytes.begin() + 12, bytes.begin() + 16);  // length, "ptyp", its length, then the id
    };
    const auto storedPose = [](const CBrick& b) {
        const Bytes bytes = Written([&](CArchive& ar) { b.Store(ar); });
        return Bytes(bytes.begin() + 24, bytes.begin() + 28);
    };
    EXPECT_EQ(storedClass(*brick), Be32(2999));
    EXPECT_EQ(storedPose(*brick), Be32(2)) << "the default class's one pose is not the brick's";
    // A copy (duplicate, paste) keeps the id too, and so does a refused re-typing.
    CBrick* copy = brick->Duplicate(CPoint3D(1, 0, 0), nullptr);
    EXPECT_EQ(storedClass(*copy), Be32(2999));
    copy->ChangeType(2998);
    EXPECT_EQ(storedClass(*copy), Be32(2999));
    // A child's re-typing takes the new class, the default one included.
    for (SHORT kind : {tk::kThreePoses, SHORT{IDC_BUILTIN_CLASS}}) {
        brick->ChangeType(kind);
        EXPECT_FALSE(brick->IsClassMissing());
        EXPECT_EQ(storedClass(*brick), Be32(static_cast<DWORD>(kind)));
        EXPECT_EQ(storedPose(*brick), Be32(static_cast<DWORD>(brick->GetPose())));
    }
    root.DeleteContents();
}
