#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/ui/doc_template.h"
#include "tests/document/document_fixture.h"

using namespace doctest;

namespace {

// Reads `bytes` into the document as an open would, without a file.
void Load(CDizadoDoc& doc, const Bytes& bytes)
{
    CMemFile file(bytes.data(), bytes.size());
    CArchive ar(&file, CArchive::load);
    doc.Serialize(ar);
    ar.Close();
}

struct FixtureCase {
    const char* name;
    std::function<void(DocumentTest&, CDizadoDoc&)> build;
    std::function<Bytes()> expected;
};

class FileFixtureTest : public DocumentTest, public ::testing::WithParamInterface<int> {};

const Settings kPictureSettings = [] {
    Settings s;
    s.multiview = TRUE;
    s.baseplate = FALSE;
    s.tiled = TRUE;
    s.red = 255, s.green = 128, s.blue = 0;
    s.sizeX = 16, s.sizeY = 8;
    s.path = "C:\\dizado\\backgrnd\\sky.bmp";
    return s;
}();

const std::vector<FixtureCase>& FixtureCases()
{
    static const std::vector<FixtureCase> cases = {
        {"EmptyModel", [](DocumentTest&, CDizadoDoc&) {},
         [] { return FileHead(SettingsChunks({})) + GroupHead(0, 0); }},
        {"OneBrick",
         [](DocumentTest& t, CDizadoDoc& doc) {
             CBrick* brick = CBrick::Make(doc.GetBrickList(), CPoint3D(3, -2, 1), 1030, 4, 0, 2);
             brick->SetSelected(TRUE);
             brick->SetMoveable(FALSE);
             (void)t;
         },
         [] {
             BrickFields f;
             f.colour = 4, f.orientation = 2, f.x = 3, f.y = -2, f.z = 1, f.selected = TRUE, f.moveable = FALSE;
             return FileHead(SettingsChunks({})) + GroupHead(1, 0) + BrickRecord(f);
         }},
        {"NestedGroup",
         [](DocumentTest& t, CDizadoDoc& doc) {
             t.MakeAt(doc.GetBrickList(), 1, 0, 0);
             CBrickGroup* outer = t.SubGroup(doc.GetBrickList());
             t.MakeAt(outer, 2, 0, 0);
             CBrickGroup* inner = t.SubGroup(outer);
             t.MakeAt(inner, 3, 0, 0, 7);
         },
         [] {
             BrickFields a, b, c;
             a.x = 1, b.x = 2, c.x = 3, c.colour = 7;
             return FileHead(SettingsChunks({})) + GroupHead(1, 1) + BrickRecord(a) + GroupHead(1, 1) +
                    BrickRecord(b) + GroupHead(1, 0) + BrickRecord(c);
         }},
        {"BackgroundPicture",
         [](DocumentTest&, CDizadoDoc& doc) {
             doc.OnShowMultiview();
             doc.OnShowBaseplate();
             doc.ChangeTiled(TRUE);
             const COLORREF orange = RGB(255, 128, 0);
             doc.ChangeBackgroundColor(&orange);
             doc.SetBaseplateSize(16, 8);
             doc.ChangeBackgroundImage(kPictureSettings.path.c_str());
         },
         [] { return FileHead(SettingsChunks(kPictureSettings)) + GroupHead(0, 0); }},
    };
    return cases;
}

}  // namespace

TEST_P(FileFixtureTest, WritesTheExactBytesAndReadsThemBack)
{
    const FixtureCase& fixture = FixtureCases()[static_cast<size_t>(GetParam())];
    fixture.build(*this, *doc);
    const Bytes expected = fixture.expected();
    ASSERT_EQ(Written(), expected);

    CDizadoDoc copy;
    Load(copy, expected);
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        copy.Serialize(ar);
        ar.Close();
    }
    EXPECT_EQ(file.GetData(), expected);
    EXPECT_EQ(copy.GetBrickList()->CountSelectedDizadoDeep(), doc->GetBrickList()->CountSelectedDizadoDeep());
}

INSTANTIATE_TEST_SUITE_P(Fixtures, FileFixtureTest, ::testing::Range(0, 4), [](const auto& info) {
    return std::string(FixtureCases()[static_cast<size_t>(info.param)].name);
});

TEST_F(DocumentTest, EmptyModelIs139Bytes)
{
    EXPECT_EQ(Written().size(), 139u);
}

TEST_F(DocumentTest, ReadingTakesEverySetting)
{
    Load(*doc, FileHead(SettingsChunks(kPictureSettings)) + GroupHead(0, 0));
    EXPECT_TRUE(doc->IsMultiViewShown());
    EXPECT_FALSE(doc->IsBaseplateShown());
    EXPECT_TRUE(doc->IsBackgroundTiled());
    EXPECT_EQ(doc->GetBackgroundRGB(), RGB(255, 128, 0));
    EXPECT_EQ(doc->GetBaseplateSize().cx, 16);
    EXPECT_EQ(doc->GetBaseplateSize().cy, 8);
    EXPECT_EQ(doc->GetBackgroundImagePath(), kPictureSettings.path.c_str());
}

TEST_F(DocumentTest, MissingSettingsTakeTheirDefaultsOrKeepTheDocument)
{
    doc->ChangeBackgroundImage("C:\\old.bmp");
    doc->ChangeTiled(TRUE);
    doc->SetBaseplateSize(5, 6);
    const COLORREF blue = RGB(0, 0, 255);
    doc->ChangeBackgroundColor(&blue);
    // An unknown chunk among them is skipped.
    Load(*doc, FileHead(Chunk("vers", Be32(1)) + Chunk("xtra", Bytes(9, 0xAB))) + GroupHead(0, 0));
    EXPECT_FALSE(doc->IsBaseplateShown());
    EXPECT_FALSE(doc->IsBackgroundTiled());
    EXPECT_EQ(doc->GetBackgroundRGB(), RGB(0, 0, 0));
    EXPECT_EQ(doc->GetBaseplateSize().cx, 5);
    EXPECT_EQ(doc->GetBaseplateSize().cy, 6);
    EXPECT_EQ(doc->GetBackgroundImagePath(), "C:\\old.bmp");
}

TEST_F(DocumentTest, PathIsReadUpToItsZeroOrItsChunksEnd)
{
    struct Case {
        Bytes data;
        const char* path;
    };
    const Case cases[] = {
        {Text("sky.bmp"), "sky.bmp"},
        {Text("ab") + Bytes{0} + Text("cd"), "ab"},
        {Bytes{}, ""},
    };
    for (const Case& c : cases) {
        Load(*doc, FileHead(Chunk("wpth", c.data) + Chunk("tail", Be32(0x41414141))) + GroupHead(0, 0));
        EXPECT_EQ(doc->GetBackgroundImagePath(), c.path);
    }
}

TEST_F(DocumentTest, LongBackgroundPathsSurviveWhole)
{
    const std::string path = "C:\\" + std::string(300, 'p') + ".bmp";
    doc->ChangeBackgroundImage(path.c_str());
    CDizadoDoc copy;
    Load(copy, Written());
    EXPECT_EQ(copy.GetBackgroundImagePath(), path.c_str());
}

TEST_F(DocumentTest, UnknownBrickClassComesBackAsTheBuiltInOne)
{
    BrickFields f;
    f.classId = 5555, f.x = 4, f.y = 5, f.z = 6, f.selected = TRUE;
    Load(*doc, FileHead(SettingsChunks({})) + GroupHead(1, 0) + BrickRecord(f));
    ASSERT_EQ(Root()->GetBrickCount(), 1);
    const CBrick* brick = Root()->GetBrickAt(0);
    EXPECT_EQ(brick->GetClassId(), 1030);
    EXPECT_EQ(*brick->GetPositionPtr(), CPoint3D(4, 5, 6));
    EXPECT_TRUE(brick->IsSelectedFlag());
}

TEST_F(DocumentTest, SubGroupsComeBackInTheOppositeOrder)
{
    CBrickGroup* first = SubGroup(Root());
    MakeAt(first, 1, 0, 0);
    CBrickGroup* second = SubGroup(Root());
    MakeAt(second, 2, 0, 0);
    ASSERT_EQ(Root()->GetSubGroupAt(0), second);

    CDizadoDoc copy;
    Load(copy, Written());
    ASSERT_EQ(copy.GetBrickList()->GetSubGroupCount(), 2);
    EXPECT_EQ(copy.GetBrickList()->GetSubGroupAt(0)->GetBrickAt(0)->GetPositionPtr()->X(), 1);
    EXPECT_EQ(copy.GetBrickList()->GetSubGroupAt(1)->GetBrickAt(0)->GetPositionPtr()->X(), 2);
}

TEST_F(DocumentTest, ReadingRebuildsThePanesOnce)
{
    BrickFields f;
    Load(*doc, FileHead(SettingsChunks({})) + GroupHead(2, 0) + BrickRecord(f) + BrickRecord(f));
    EXPECT_EQ(Root()->GetBrickCount(), 2);
    EXPECT_EQ(pane.Count(NOTIFY_HOLD_REBUILD), 2);
    EXPECT_EQ(pane.Count(NOTIFY_HOLD_EXTENT), 2);
    EXPECT_EQ(pane.rebuildOpen, 0);
    EXPECT_EQ(pane.extentOpen, 0);
}

// Opening from disk: the damaged and the foreign files.
class OpenTest : public DocumentTest {
protected:
    // A model with a name, so that the tests see whether it is kept.
    void NameTheDocument()
    {
        MakeAt(Root(), 9, 9, 0);
        doc->SetPathName(PathOf("previous.brk").c_str(), FALSE);
        doc->SetModifiedFlag(FALSE);
    }

    BOOL Open(const Bytes& bytes)
    {
        const std::string path = PathOf("opened.brk");
        WriteFile(path, bytes);
        messages.clear();
        return doc->OnOpenDocument(path.c_str());
    }

    void ExpectDamagedPath(const std::string& label)
    {
        SCOPED_TRACE(label);
        EXPECT_EQ(messages.size(), 1u);
        EXPECT_EQ(Root()->GetBrickCount(), 0);
        EXPECT_EQ(Root()->GetSubGroupCount(), 0);
        EXPECT_TRUE(doc->GetPathName().IsEmpty());
        EXPECT_TRUE(doc->GetBackgroundImagePath().IsEmpty());
        EXPECT_FALSE(doc->IsModified());
        EXPECT_EQ(pane.rebuildOpen, 0);
        EXPECT_EQ(pane.extentOpen, 0);
        EXPECT_EQ(shell.waitDepth, 0);
    }
};

TEST_F(OpenTest, EveryTruncationOfASmallFileTakesTheDamagedPath)
{
    BrickFields f;
    f.selected = TRUE;
    Settings s;
    s.path = "sky.bmp";
    const Bytes whole =
        FileHead(SettingsChunks(s)) + GroupHead(1, 1) + BrickRecord(f) + GroupHead(1, 0) + BrickRecord(f);
    for (size_t length = 1; length < whole.size(); ++length) {
        NameTheDocument();
        EXPECT_FALSE(Open(Bytes(whole.begin(), whole.begin() + static_cast<long>(length))));
        ExpectDamagedPath("length " + std::to_string(length));
    }
    NameTheDocument();
    EXPECT_TRUE(Open(whole));
    EXPECT_EQ(Root()->CountSelectedDizadoDeep(), 2);
}

TEST_F(OpenTest, HugeLengthsAndCountsTakeTheDamagedPath)
{
    BrickFields f;
    const Bytes head = FileHead(SettingsChunks({}));
    const Bytes brick = BrickRecord(f);
    const struct {
        const char* label;
        Bytes file;
    } cases[] = {
        {"settings length", Text("VOSTBRK#") + Be32(0xFFFFFFF0u) + SettingsChunks({})},
        {"group block length", head + Be32(0x7FFFFFFFu) + Chunk("bcnt", Be32(0))},
        {"brick count", head + GroupHead(0x40000000u, 0) + brick},
        {"group count", head + GroupHead(0, 0xFFFFFFFFu) + GroupHead(0, 0)},
        {"brick block length", head + GroupHead(1, 0) + Be32(0xFFFFFF00u) + Bytes(16, 0)},
    };
    for (const auto& c : cases) {
        NameTheDocument();
        EXPECT_FALSE(Open(c.file));
        ExpectDamagedPath(c.label);
    }
}

// A megabyte of empty brick records: each list the reading grows must grow
// in steps that keep the whole read linear (a sanitized run shows it).
TEST_F(OpenTest, AQuarterMillionEmptyBrickRecordsOpenAsDefaultBricks)
{
    constexpr DWORD kBricks = 262144;
    Bytes file = FileHead(SettingsChunks({})) + GroupHead(kBricks, 0);
    file.resize(file.size() + 4 * kBricks, 0);
    ASSERT_TRUE(Open(file));
    ASSERT_EQ(Root()->GetBrickCount(), static_cast<int>(kBricks));
    for (int index : {0, static_cast<int>(kBricks) - 1}) {
        EXPECT_EQ(Root()->GetBrickAt(index)->GetClassId(), IDC_BUILTIN_CLASS);
        EXPECT_EQ(*Root()->GetBrickAt(index)->GetPositionPtr(), CPoint3D(0, 0, 0));
    }
}

TEST_F(OpenTest, ChunkLongerThanItsBlockIsOnlyMissing)
{
    BrickFields f;
    f.x = 7, f.selected = TRUE;
    Bytes brick = BrickRecord(f);
    // The "selc" chunk claims more bytes than its block holds.
    brick[brick.size() - 5] = 0x7F;
    EXPECT_TRUE(Open(FileHead(SettingsChunks({})) + GroupHead(1, 0) + brick));
    ASSERT_EQ(Root()->GetBrickCount(), 1);
    EXPECT_FALSE(Root()->GetBrickAt(0)->IsSelectedFlag());
    EXPECT_EQ(Root()->GetBrickAt(0)->GetPositionPtr()->X(), 7);
}

TEST_F(OpenTest, ForeignFileOpensEmptyAndUnnamedWithoutAMessage)
{
    NameTheDocument();
    const Bytes foreign = Text("NOTABRK!") + Bytes(200, 0x5A);
    EXPECT_TRUE(Open(foreign));  // the open succeeds, with the empty model
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(Root()->GetBrickCount(), 0);
    EXPECT_TRUE(doc->GetPathName().IsEmpty());
    EXPECT_FALSE(doc->IsModified());

    // Closing later saves under a new name and leaves both files alone.
    MakeAt(Root(), 1, 1, 0);
    doc->SetModifiedFlag(TRUE);
    ASSERT_TRUE(doc->SaveModified());
    EXPECT_NE(doc->GetPathName(), PathOf("opened.brk").c_str());
    EXPECT_EQ(ReadFile(PathOf("opened.brk")), foreign);
}

TEST_F(OpenTest, MissingFileLeavesTheModelAndItsName)
{
    NameTheDocument();
    doc->SetModifiedFlag(TRUE);
    EXPECT_FALSE(doc->OnOpenDocument(PathOf("absent.brk").c_str()));
    EXPECT_EQ(Root()->GetBrickCount(), 1);
    EXPECT_EQ(doc->GetPathName(), PathOf("previous.brk").c_str());
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(OpenTest, TheTemplatesOpenLeavesNoNameOnAFileItCouldNotRead)
{
    CSingleDocTemplate docTemplate(0, RUNTIME_CLASS(CDizadoDoc), nullptr, nullptr);
    auto* only = static_cast<CDizadoDoc*>(docTemplate.OpenDocumentFile(nullptr));
    ASSERT_NE(only, nullptr);

    const std::string good = PathOf("good.brk");
    WriteFile(good, FileHead(SettingsChunks({})) + GroupHead(1, 0) + BrickRecord(BrickFields{}));
    ASSERT_EQ(docTemplate.OpenDocumentFile(good.c_str()), only);
    EXPECT_EQ(only->GetPathName(), good.c_str());

    const struct {
        const char* label;
        Bytes file;
        size_t messages;
        bool opens;  // a file that is no model opens as the empty one
    } cases[] = {
        {"damaged", FileHead(SettingsChunks({})) + GroupHead(2, 0) + BrickRecord(BrickFields{}), 1, false},
        {"foreign", Text("GIF89a") + Bytes(40, 1), 0, true},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(docTemplate.OpenDocumentFile(good.c_str()), only);
        const std::string path = PathOf("bad.brk");
        WriteFile(path, c.file);
        messages.clear();
        EXPECT_EQ(docTemplate.OpenDocumentFile(path.c_str()), c.opens ? only : nullptr) << c.label;
        EXPECT_EQ(messages.size(), c.messages) << c.label;
        EXPECT_TRUE(only->GetPathName().IsEmpty()) << c.label;
        EXPECT_EQ(only->GetBrickList()->GetBrickCount(), 0) << c.label;
        EXPECT_FALSE(only->IsModified()) << c.label;
        EXPECT_EQ(ReadFile(path), c.file) << c.label;
    }
}

TEST_F(OpenTest, AModelNestedPastTheDepthLimitSaysOnceThatItWasFlattened)
{
    // One brick in every group, `depth` groups each inside the one before.
    auto nested = [](int depth) {
        Bytes bytes = FileHead(SettingsChunks({})) + GroupHead(0, 1);
        for (int level = 1; level < depth; ++level)
            bytes = bytes + GroupHead(1, 1) + BrickRecord({});
        return bytes + GroupHead(1, 0) + BrickRecord({});
    };
    auto bricks = [](const CBrickGroup* group) {
        int count = 0;
        for (; group; group = group->GetSubGroupCount() > 0 ? group->GetSubGroupAt(0) : nullptr)
            count += group->GetBrickCount();
        return count;
    };
    const struct {
        int depth;
        bool told;
    } cases[] = {
        {CBrickGroup::kMaxDepth, false},
        {CBrickGroup::kMaxDepth + 1, true},
        {CBrickGroup::kMaxDepth + 500, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.depth);
        ASSERT_TRUE(Open(nested(c.depth)));
        EXPECT_EQ(messages, c.told ? std::vector<std::string>{CDizadoDoc::kFlattenedMessage}
                                   : std::vector<std::string>{});
        EXPECT_EQ(Root()->GetLevelsBelow(), CBrickGroup::kMaxDepth);
        EXPECT_EQ(bricks(Root()), c.depth) << "no brick is lost";
    }
    // The next open of a model within the limit says nothing.
    ASSERT_TRUE(Open(nested(3)));
    EXPECT_TRUE(messages.empty());
}
