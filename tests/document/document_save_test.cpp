#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <set>
#include <string>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "document/brick_command.h"
#include "document/preview.h"
#include "platform/core/cmd_ui.h"
#include "tests/document/document_fixture.h"

using namespace doctest;

namespace {

DWORD Le32(const Bytes& b, size_t at)
{
    return static_cast<DWORD>(b[at]) | (static_cast<DWORD>(b[at + 1]) << 8) | (static_cast<DWORD>(b[at + 2]) << 16) |
           (static_cast<DWORD>(b[at + 3]) << 24);
}

std::set<std::string> FilesIn(const std::filesystem::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// Files written meanwhile cannot grow past `bytes`: a write beyond fails as
// on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_oldSignal = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limited = m_old;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldSignal);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_oldSignal)(int) = nullptr;
};

}  // namespace

TEST_F(DocumentTest, SaveWritesTheModelThenItsPreview)
{
    MakeAt(Root(), 1, 2, 0, 3);
    const COLORREF sky = RGB(40, 90, 200);
    doc->ChangeBackgroundColor(&sky);
    const std::string path = PathOf("model.old.brk");

    ASSERT_TRUE(doc->OnSaveDocument(path.c_str()));
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(ReadFile(path), Written());
    EXPECT_EQ(FilesIn(folder), (std::set<std::string>{"model.old.brk", "model.pbk"}));

    const Bytes preview = ReadFile(folder / "model.pbk");
    ASSERT_EQ(preview.size(), 5878u);
    EXPECT_EQ(preview[0], 'B');
    EXPECT_EQ(preview[1], 'M');
    EXPECT_EQ(Le32(preview, 2), 5878u);
    EXPECT_EQ(Le32(preview, 10), 1078u);
    BITMAPINFOHEADER info;
    std::memcpy(&info, preview.data() + 14, sizeof info);
    EXPECT_EQ(info.biSize, 40u);
    EXPECT_EQ(info.biWidth, 80);
    EXPECT_EQ(info.biHeight, 60);
    EXPECT_EQ(info.biPlanes, 1);
    EXPECT_EQ(info.biBitCount, 8);
    EXPECT_EQ(info.biCompression, 0u);
    EXPECT_EQ(info.biSizeImage, 4800u);
    EXPECT_EQ(info.biClrUsed, 256u);
    EXPECT_EQ(info.biClrImportant, 0u);

    RGBQUAD table[kPaletteDibColours];
    ASSERT_TRUE(LoadPreviewColourTable(table));
    EXPECT_EQ(std::memcmp(preview.data() + 54, table, sizeof table), 0);
    const BYTE index = NearestTableIndex(table, sky);
    for (size_t at = 1078; at < preview.size(); ++at)
        ASSERT_EQ(preview[at], index) << at;
}

TEST(PreviewPath, IsCutAtTheFirstDotOfTheFileName)
{
    const struct {
        const char* document;
        const char* preview;
    } cases[] = {
        {"C:\\users\\1a2b3c4d\\2f9c0e11.brk", "C:\\users\\1a2b3c4d\\2f9c0e11.pbk"},
        {"/home/kid/dir.v2/model.old.brk", "/home/kid/dir.v2/model.pbk"},
        {"C:\\my.models\\castle", "C:\\my.models\\castle.pbk"},
        {"plain", "plain.pbk"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CDizadoDoc::GetPreviewPath(c.document), c.preview) << c.document;
}

TEST_F(DocumentTest, PictureSizesDefaultWhenEitherIsMissing)
{
    const struct {
        int width, height;
        LONG expectWidth, expectHeight;
        size_t fileSize;
    } cases[] = {
        {160, -1, 80, 60, 5878},
        {-1, 30, 80, 60, 5878},
        {0, 0, 80, 60, 5878},
        {33, 10, 33, 10, 14 + 40 + 1024 + 36 * 10},
    };
    for (const auto& c : cases) {
        const std::string path = PathOf("picture.bmp");
        doc->WriteBitmapFile(path.c_str(), c.width, c.height);
        const Bytes bytes = ReadFile(path);
        ASSERT_EQ(bytes.size(), c.fileSize) << c.width << "x" << c.height;
        BITMAPINFOHEADER info;
        std::memcpy(&info, bytes.data() + 14, sizeof info);
        EXPECT_EQ(info.biWidth, c.expectWidth);
        EXPECT_EQ(info.biHeight, c.expectHeight);
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(DocumentTest, PreviewThatCannotBeCreatedIsReportedAndTheSaveStands)
{
    doc->WriteBitmapFile(PathOf("no-such-folder/x.pbk").c_str(), -1, -1);
    EXPECT_EQ(messages, std::vector<std::string>{"Failed to write preview file"});
}

// The preview of a model named like it would be the model itself: the model
// is kept and gets no picture, as when the preview's name links to it.
TEST_F(DocumentTest, PreviewNeverTakesTheModelsOwnFile)
{
    MakeAt(Root(), 1, 2, 0, 3);
    const struct {
        const char* document;
        const char* linkedPreview;  // made a link to the document first
        std::set<std::string> files;
    } cases[] = {
        {"castle.pbk", nullptr, {"castle.pbk"}},
        {"tower.brk", "tower.pbk", {"tower.brk", "tower.pbk"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.document);
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        const std::string path = PathOf(c.document);
        if (c.linkedPreview)
            std::filesystem::create_symlink(c.document, folder / c.linkedPreview);
        ASSERT_TRUE(doc->OnSaveDocument(path.c_str()));
        EXPECT_EQ(ReadFile(path), Written());
        EXPECT_EQ(FilesIn(folder), c.files);
        EXPECT_TRUE(messages.empty());
    }
}

// Another model under the preview's name is not replaced by the picture.
TEST_F(DocumentTest, PreviewNeverReplacesAModel)
{
    ASSERT_TRUE(doc->OnSaveDocument(PathOf("castle.pbk").c_str()));
    const Bytes other = ReadFile(folder / "castle.pbk");
    MakeAt(Root(), 0, 0, 0);
    ASSERT_TRUE(doc->OnSaveDocument(PathOf("castle.brk").c_str()));
    EXPECT_EQ(ReadFile(folder / "castle.pbk"), other);
    EXPECT_EQ(ReadFile(folder / "castle.brk"), Written());
    EXPECT_EQ(messages, std::vector<std::string>{"Failed to write preview file"});
}

// The picture is written beside the old one and renamed over it: a write
// that breaks off leaves the older picture whole and no stray file.
TEST_F(DocumentTest, InterruptedPreviewLeavesTheOlderOneWhole)
{
    const std::string path = PathOf("castle.brk");
    ASSERT_TRUE(doc->OnSaveDocument(path.c_str()));
    const Bytes before = ReadFile(folder / "castle.pbk");
    ASSERT_EQ(before.size(), 5878u);

    const COLORREF sky = RGB(40, 90, 200);
    doc->ChangeBackgroundColor(&sky);
    {
        // Room for the model, not for the picture.
        FileSizeLimit limit(2000);
        EXPECT_TRUE(doc->OnSaveDocument(path.c_str()));
    }
    EXPECT_EQ(ReadFile(path), Written());
    EXPECT_EQ(ReadFile(folder / "castle.pbk"), before);
    EXPECT_EQ(messages, std::vector<std::string>{"Failed to write preview file"});
    EXPECT_EQ(FilesIn(folder), (std::set<std::string>{"castle.brk", "castle.pbk"}));

    // With room again the new picture replaces the old one.
    ASSERT_TRUE(doc->OnSaveDocument(path.c_str()));
    const Bytes after = ReadFile(folder / "castle.pbk");
    ASSERT_EQ(after.size(), 5878u);
    EXPECT_NE(after, before);
}

TEST_F(DocumentTest, InterruptedSaveKeepsTheModelOnDisk)
{
    const std::string path = PathOf("castle.brk");
    const Bytes before = Text("the castle as it was");
    WriteFile(path, before);
    MakeAt(Root(), 0, 0, 0);
    doc->SetModifiedFlag(TRUE);

    shell.failNextWait = TRUE;
    EXPECT_FALSE(doc->OnSaveDocument(path.c_str()));
    EXPECT_EQ(ReadFile(path), before);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(shell.waitDepth, 0);
    // No preview for a model that was not saved, and no temporary file left.
    EXPECT_EQ(FilesIn(folder), std::set<std::string>{"castle.brk"});
}

TEST_F(DocumentTest, FileSaveOfAnUnmodifiedDocumentWritesNothing)
{
    doc->OnFileSave();
    EXPECT_TRUE(doc->GetPathName().IsEmpty());
    EXPECT_TRUE(FilesIn(folder).empty());
}

TEST_F(DocumentTest, FileSaveOfAnUnnamedModelUsesTheAutomaticName)
{
    MakeAt(Root(), 0, 0, 0);
    doc->SetModifiedFlag(TRUE);
    doc->OnFileSave();
    const std::string path = doc->GetPathName().str();
    ASSERT_EQ(path.rfind(folder.string() + "\\", 0), 0u) << path;
    EXPECT_EQ(path.substr(path.size() - 4), ".brk");
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(FilesIn(folder).size(), 2u);
    EXPECT_TRUE(messages.empty());
}

TEST_F(DocumentTest, SaveModifiedNamesEvenAnUnmodifiedDocumentButWritesNothing)
{
    EXPECT_TRUE(doc->SaveModified());
    EXPECT_FALSE(doc->GetPathName().IsEmpty());
    EXPECT_TRUE(FilesIn(folder).empty());
}

TEST_F(DocumentTest, SaveModifiedAnswersWhetherTheSaveWorked)
{
    MakeAt(Root(), 0, 0, 0);
    doc->SetModifiedFlag(TRUE);
    shell.failNextWait = TRUE;
    EXPECT_FALSE(doc->SaveModified());
    EXPECT_TRUE(doc->IsModified());
    EXPECT_TRUE(doc->SaveModified());
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(DocumentTest, TwoQuickSavesGetTwoFiles)
{
    CDizadoDoc second;
    for (CDizadoDoc* d : {doc.get(), &second}) {
        MakeAt(d->GetBrickList(), 0, 0, 0);
        d->SetModifiedFlag(TRUE);
        ASSERT_TRUE(d->SaveModified());
    }
    EXPECT_NE(doc->GetPathName(), second.GetPathName());
    EXPECT_EQ(FilesIn(folder).size(), 4u);
}

TEST_F(DocumentTest, AutomaticNames)
{
    const std::string user = folder.string();
    const std::time_t now = 0x2f9c0e11;
    WriteFile(folder / "2f9c0e20.brk", Bytes{1});
    WriteFile(folder / "2f9c0e21.pbk", Bytes{1});
    const struct {
        std::string user, location;
        std::time_t now;
        std::string expected;
    } cases[] = {
        {user, "C:\\users", now, user + "\\2f9c0e11.brk"},
        {"", user, now, user + "\\2f9c0e11.brk"},
        {user + "/", "", now, user + "/2f9c0e11.brk"},
        {"", "", now, "2f9c0e11.brk"},
        {user, "", 0x2f9c0e20, user + "\\2f9c0e22.brk"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MakeNewDocumentPath(c.user.c_str(), c.location.c_str(), c.now), c.expected.c_str()) << c.expected;
}

TEST_F(DocumentTest, ModifyingCommandsKeepMarkingTheDocument)
{
    doc->SetLastAction(new CBrickCommand(CBrickCommand::labelMove));
    EXPECT_TRUE(doc->IsModified());
    ASSERT_TRUE(doc->OnSaveDocument(PathOf("a.brk").c_str()));

    // Undo and redo change the model as the edit did.
    doc->OnEditUndo();
    EXPECT_TRUE(doc->GetLastAction()->IsUndone());
    EXPECT_TRUE(doc->IsModified());
    ASSERT_TRUE(doc->OnSaveDocument(PathOf("a.brk").c_str()));
    doc->OnEditUndo();
    EXPECT_FALSE(doc->GetLastAction()->IsUndone());
    EXPECT_TRUE(doc->IsModified());

    // Once any modifying command was held, forgetting the undo marks it again.
    ASSERT_TRUE(doc->OnSaveDocument(PathOf("a.brk").c_str()));
    doc->OnEditSelectNone();
    EXPECT_EQ(doc->GetLastAction(), nullptr);
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(DocumentTest, NewDocumentEmptiesTheTreeAndKeepsTheBackgroundButItsPicture)
{
    MakeAt(Root(), 0, 0, 0);
    MakeAt(SubGroup(SubGroup(Root())), 1, 0, 0);
    const COLORREF green = RGB(0, 200, 0);
    doc->ChangeBackgroundColor(&green);
    doc->ChangeTiled(TRUE);
    doc->ChangeBackgroundImage("C:\\sky.bmp");
    doc->OnTool(IDM_TOOL_ERASE);
    doc->SetLastAction(new CBrickCommand(CBrickCommand::labelAdd));

    ASSERT_TRUE(doc->OnNewDocument());
    EXPECT_EQ(Root()->GetBrickCount(), 0);
    EXPECT_EQ(Root()->GetSubGroupCount(), 0);
    EXPECT_EQ(doc->GetLastAction(), nullptr);
    EXPECT_EQ(doc->GetBackgroundRGB(), green);
    EXPECT_TRUE(doc->IsBackgroundTiled());
    EXPECT_TRUE(doc->GetBackgroundImagePath().IsEmpty());
    EXPECT_EQ(doc->GetCurrentTool(), static_cast<SHORT>(IDM_TOOL_NEW_BRICK));
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(DocumentTest, OpeningForgetsTheUndo)
{
    ASSERT_TRUE(doc->OnSaveDocument(PathOf("saved.brk").c_str()));
    doc->SetLastAction(new CBrickCommand(CBrickCommand::labelAdd));
    ASSERT_TRUE(doc->OnOpenDocument(PathOf("saved.brk").c_str()));
    CCmdUI undo(IDM_EDIT_UNDO);
    doc->OnUpdateEditUndo(&undo);
    EXPECT_FALSE(undo.m_bEnabled);
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(DocumentTest, AModelThatCannotBeSavedIsRescuedAndTheCloseGoesOn)
{
    // A "Location" that does not exist: the automatic save has nowhere to go.
    const std::filesystem::path rescue = folder / "rescued";
    shell.SetRescueFolder(rescue.string().c_str());
    doc->SetPathName(PathOf("gone/castle.brk").c_str(), FALSE);
    MakeAt(Root(), 0, 0, 0);
    MakeAt(Root(), 2, 0, 0, 5);
    doc->SetModifiedFlag(TRUE);

    EXPECT_TRUE(doc->SaveModified());
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].rfind("Unable to save the file", 0), 0u) << messages[0];
    EXPECT_NE(messages[1].find((rescue / "castle.brk").string()), std::string::npos) << messages[1];
    EXPECT_EQ(ReadFile(rescue / "castle.brk"), Written());

    // Each rescue may be the only copy of its model: none replaces another.
    MakeAt(Root(), 4, 0, 0);
    EXPECT_EQ(doc->SaveOrRescue(FALSE), CDizadoDoc::SaveOutcome::rescued);
    EXPECT_EQ(ReadFile(rescue / "castle-2.brk"), Written());
    EXPECT_NE(ReadFile(rescue / "castle.brk"), Written());
}

TEST_F(DocumentTest, WithoutARescueAGrownUpDecidesWhetherToCloseWithoutSaving)
{
    // The rescue folder cannot be made: a file stands in its place.
    WriteFile(PathOf("blocker"), Text("x"));
    shell.SetRescueFolder(PathOf("blocker/rescued").c_str());
    doc->SetPathName(PathOf("gone/castle.brk").c_str(), FALSE);
    MakeAt(Root(), 0, 0, 0);
    for (const auto& [answer, closes] : {std::pair{IDYES, TRUE}, std::pair{IDNO, FALSE}}) {
        SCOPED_TRACE(answer);
        doc->SetModifiedFlag(TRUE);
        std::vector<UINT> asked;
        const platform::MessageBoxHook old =
            platform::SetMessageBoxHook([&, answer = answer](const std::string& text, const std::string&, UINT type) {
                if ((type & 0x0F) == MB_YESNO && text.find("grown-up") != std::string::npos)
                    asked.push_back(type);
                return (type & 0x0F) == MB_YESNO ? answer : IDOK;
            });
        EXPECT_EQ(doc->SaveModified(), closes);
        // Where no one can be asked, the model stays open.
        EXPECT_EQ(doc->SaveOrRescue(FALSE), CDizadoDoc::SaveOutcome::kept);
        platform::SetMessageBoxHook(old);
        EXPECT_EQ(asked.size(), 1u);
        EXPECT_TRUE(doc->IsModified());
    }
}

TEST_F(DocumentTest, ASaveRemovesOnlyTheStaleTemporaryFilesOfItsOwnPattern)
{
    // A process that has ended: its temporary files are nobody's.
    const pid_t gone = fork();
    if (gone == 0)
        _exit(0);
    ASSERT_GT(gone, 0);
    waitpid(gone, nullptr, 0);
    const std::string stale = ".castle.brk." + std::to_string(gone) + "-3.tmp";
    const std::set<std::string> kept = {
        ".castle.brk." + std::to_string(getpid()) + "-9.tmp",  // this program's, perhaps being written
        ".castle.brk.1-2.tmp",                                  // a running process's
        "castle.brk." + std::to_string(gone) + "-3.tmp",        // not the pattern: no leading dot
        ".castle.brk." + std::to_string(gone) + "-x.tmp",
        "notes.tmp",
    };
    for (const std::string& name : kept)
        WriteFile(folder / name, Text("x"));
    WriteFile(folder / stale, Text("half a model"));
    MakeAt(Root(), 0, 0, 0);

    ASSERT_TRUE(doc->OnSaveDocument(PathOf("castle.brk").c_str()));
    std::set<std::string> expected = kept;
    expected.insert({"castle.brk", "castle.pbk"});
    EXPECT_EQ(FilesIn(folder), expected);
}
