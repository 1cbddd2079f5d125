#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/archive.h"
#include "platform/core/cmd_ui.h"
#include "platform/core/hooks.h"
#include "platform/ui/doc_template.h"
#include "platform/ui/document.h"
#include "platform/ui/ole_server_doc.h"
#include "platform/ui/view.h"
#include "tests/support/unprivileged.h"
#include "tests/support/scoped_hook.h"

namespace fs = std::filesystem;

namespace {

enum class Fault { none, archive, file, memory, foreign };

// A document of numbers, written as a count and the values. It can be told
// to fail after some values, in either direction.
class NumberDoc : public COleServerDoc {
    DECLARE_DYNCREATE(NumberDoc)
public:
    NumberDoc() { ++s_alive; }
    ~NumberDoc() override { --s_alive; }

    void DeleteContents() override
    {
        ++m_deleteContentsCalls;
        m_values.clear();
    }
    BOOL OnNewDocument() override
    {
        ++m_newCalls;
        return COleServerDoc::OnNewDocument();
    }
    BOOL SaveModified() override
    {
        ++m_saveModifiedCalls;
        if (m_refuseSaveModified)
            return FALSE;
        return m_pretendSaved ? TRUE : COleServerDoc::SaveModified();
    }
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar << static_cast<DWORD>(m_values.size());
            for (size_t i = 0; i < m_values.size(); ++i) {
                MaybeFail(i);
                ar << m_values[i];
            }
        } else {
            DWORD count = 0;
            ar >> count;
            for (DWORD i = 0; i < count; ++i) {
                MaybeFail(i);
                LONG value = 0;
                ar >> value;
                m_values.push_back(value);
            }
        }
    }

    static int s_alive;
    std::vector<LONG> m_values;
    int m_deleteContentsCalls = 0;
    int m_newCalls = 0;
    int m_saveModifiedCalls = 0;
    BOOL m_refuseSaveModified = FALSE;
    BOOL m_pretendSaved = FALSE;  // SaveModified agrees without saving
    Fault m_fault = Fault::none;
    size_t m_faultAt = 0;

private:
    void MaybeFail(size_t index) const
    {
        if (m_fault == Fault::none || index != m_faultAt)
            return;
        switch (m_fault) {
        case Fault::archive:
            AfxThrowArchiveException(CArchiveException::badSchema);
        case Fault::file:
            AfxThrowFileException(CFileException::diskFull, ENOSPC);
        case Fault::memory:
            throw std::bad_alloc();
        default:
            throw std::runtime_error("not the layer's exception");
        }
    }
};

int NumberDoc::s_alive = 0;
IMPLEMENT_DYNCREATE(NumberDoc, COleServerDoc)

class RecordingView : public CView {
public:
    struct Update {
        CView* sender;
        LPARAM hint;
        CObject* hintObject;
    };
    std::vector<Update> m_updates;
    int m_initialUpdates = 0;
    std::function<void()> m_onUpdate;

    void OnInitialUpdate() override { ++m_initialUpdates; }
    void OnDraw(CDC*) override {}

protected:
    void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject) override
    {
        m_updates.push_back({sender, hint, hintObject});
        if (m_onUpdate)
            m_onUpdate();
    }
};

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Numbers(std::initializer_list<uint32_t> values, uint32_t count)
{
    std::string bytes;
    auto put = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    put(count);
    for (uint32_t v : values)
        put(v);
    return bytes;
}

// Every test gets its own folder and sees the message boxes raised.
class DocumentFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() /
                ("dizado-doc-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        m_boxes.clear();
        m_oldBox = platform::SetMessageBoxHook([this](const std::string& text, const std::string&, UINT) {
            m_boxes.push_back(text);
            return IDOK;
        });
    }

    void TearDown() override
    {
        platform::SetMessageBoxHook(m_oldBox);
        std::error_code ignored;
        for (const auto& entry : fs::recursive_directory_iterator(m_dir, ignored))
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::permissions(m_dir, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(m_dir, ignored);
    }

    std::string PathOf(const std::string& name) const { return (m_dir / name).string(); }

    // Names in a folder, to see that no temporary file was left behind.
    static std::vector<std::string> Entries(const fs::path& folder)
    {
        std::vector<std::string> names;
        std::error_code ignored;
        for (const auto& entry : fs::directory_iterator(folder, ignored))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path m_dir;
    std::vector<std::string> m_boxes;
    platform::MessageBoxHook m_oldBox;
};

using Document = DocumentFiles;

TEST_F(Document, SavedNumbersComeBackAndTheFolderHoldsOnlyTheFile)
{
    const std::string path = PathOf("model.brk");
    NumberDoc saved;
    saved.m_values = {7, -1, 65536};
    saved.SetModifiedFlag();
    ASSERT_TRUE(saved.OnSaveDocument(path.c_str()));
    EXPECT_FALSE(saved.IsModified());
    EXPECT_EQ(Entries(m_dir), std::vector<std::string>{"model.brk"});
    EXPECT_EQ(ReadFile(path), Numbers({7, 0xFFFFFFFF, 65536}, 3));

    NumberDoc opened;
    opened.m_values = {99};
    ASSERT_TRUE(opened.OnOpenDocument(path.c_str()));
    EXPECT_EQ(opened.m_values, saved.m_values);
    EXPECT_EQ(opened.m_deleteContentsCalls, 1);
    EXPECT_FALSE(opened.IsModified());
    EXPECT_TRUE(m_boxes.empty());

    // Replacing a file keeps its permissions.
    ::chmod(path.c_str(), 0640);
    saved.m_values = {1};
    ASSERT_TRUE(saved.OnSaveDocument(path.c_str()));
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(ReadFile(path), Numbers({1}, 1));

    // An empty file is an empty document.
    WriteFile(PathOf("empty.brk"), "");
    EXPECT_TRUE(opened.OnOpenDocument(PathOf("empty.brk").c_str()));
    EXPECT_TRUE(opened.m_values.empty());
}

TEST_F(Document, FailedSavesKeepTheOldFileAndTheModifiedFlag)
{
    DIZADO_RUN_UNPRIVILEGED();  // root writes into read-only folders
    const std::string old = Numbers({1, 2}, 2);
    struct Case {
        const char* name;
        std::function<std::string()> prepare;  // answers the path to save to
    };
    const std::vector<Case> cases = {
        {"missing folder", [&] { return PathOf("nowhere/model.brk"); }},
        {"folder is a file",
         [&] {
             WriteFile(PathOf("plain"), "x");
             return PathOf("plain/model.brk");
         }},
        {"target is a folder",
         [&] {
             fs::create_directory(PathOf("model.brk"));
             return PathOf("model.brk");
         }},
        {"read-only target",
         [&] {
             WriteFile(PathOf("model.brk"), old);
             ::chmod(PathOf("model.brk").c_str(), 0444);
             return PathOf("model.brk");
         }},
        {"read-only folder",
         [&] {
             fs::create_directory(PathOf("locked"));
             WriteFile(PathOf("locked/model.brk"), old);
             ::chmod(PathOf("locked").c_str(), 0555);
             return PathOf("locked/model.brk");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        const std::string path = c.prepare();
        const fs::path folder = fs::path(path).parent_path();
        const std::vector<std::string> before = Entries(folder);
        const std::string oldBytes = fs::is_regular_file(path) ? ReadFile(path) : "";

        NumberDoc doc;
        doc.m_values = {5};
        doc.SetModifiedFlag();
        EXPECT_FALSE(doc.OnSaveDocument(path.c_str()));
        EXPECT_TRUE(doc.IsModified());
        EXPECT_EQ(Entries(folder), before) << "a temporary file was left behind";
        if (fs::is_regular_file(path)) {
            EXPECT_EQ(ReadFile(path), oldBytes);
        }
        ASSERT_EQ(m_boxes.size(), 1u);
        EXPECT_EQ(m_boxes[0].rfind("Unable to save the file.", 0), 0u) << m_boxes[0];
        EXPECT_NE(m_boxes[0].find(path), std::string::npos) << "the box names the document's file";
    }
}

TEST_F(Document, AFailureNamesTheFileAsTheFileSystemSpellsIt)
{
    // The program writes its paths with "\"; a parent looks for the file.
    const std::string native = PathOf("gone") + "/model.brk";
    std::string written = native;
    std::replace(written.begin(), written.end(), '/', '\\');
    NumberDoc doc;
    doc.m_values = {5};
    doc.SetModifiedFlag();
    EXPECT_FALSE(doc.OnSaveDocument(written.c_str()));
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_NE(m_boxes[0].find(native), std::string::npos) << m_boxes[0];
    EXPECT_EQ(m_boxes[0].find('\\'), std::string::npos) << m_boxes[0];
}

TEST_F(Document, ASaveThatFailsMidwayLeavesTheOldFileIntact)
{
    const std::string path = PathOf("model.brk");
    for (Fault fault : {Fault::archive, Fault::file, Fault::memory, Fault::foreign}) {
        SCOPED_TRACE(static_cast<int>(fault));
        m_boxes.clear();
        WriteFile(path, Numbers({1, 2}, 2));
        NumberDoc doc;
        doc.m_values = {10, 20, 30};
        doc.SetModifiedFlag();
        doc.m_fault = fault;
        doc.m_faultAt = 2;
        EXPECT_FALSE(doc.OnSaveDocument(path.c_str()));
        EXPECT_TRUE(doc.IsModified());
        EXPECT_EQ(ReadFile(path), Numbers({1, 2}, 2));
        EXPECT_EQ(Entries(m_dir), std::vector<std::string>{"model.brk"});
        EXPECT_EQ(m_boxes.size(), 1u);
    }
}

TEST_F(Document, FailedOpensReportAndSayWhatTheyTouched)
{
    WriteFile(PathOf("short.brk"), Numbers({1, 2}, 5));
    WriteFile(PathOf("good.brk"), Numbers({1, 2, 3}, 3));
    fs::create_directory(PathOf("folder.brk"));
    struct Case {
        const char* name;
        std::string path;
        Fault fault;
        int deleteContentsCalls;  // 0: the document was not touched
    };
    const std::vector<Case> cases = {
        {"missing file", PathOf("missing.brk"), Fault::none, 0},
        {"a folder", PathOf("folder.brk"), Fault::none, 0},
        {"file ends early", PathOf("short.brk"), Fault::none, 2},
        {"damaged record", PathOf("good.brk"), Fault::archive, 2},
        {"no memory", PathOf("good.brk"), Fault::memory, 2},
        {"foreign exception", PathOf("good.brk"), Fault::foreign, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_boxes.clear();
        NumberDoc doc;
        doc.m_values = {42};
        doc.m_fault = c.fault;
        doc.m_faultAt = 1;
        EXPECT_FALSE(doc.OnOpenDocument(c.path.c_str()));
        EXPECT_EQ(doc.m_deleteContentsCalls, c.deleteContentsCalls);
        if (c.deleteContentsCalls == 0) {
            EXPECT_EQ(doc.m_values, std::vector<LONG>{42});
            EXPECT_FALSE(doc.IsModified());
        } else {
            EXPECT_TRUE(doc.m_values.empty()) << "half-read contents stayed";
            EXPECT_TRUE(doc.IsModified());
        }
        ASSERT_EQ(m_boxes.size(), 1u);
        EXPECT_EQ(m_boxes[0].rfind("Unable to read the file.", 0), 0u) << m_boxes[0];
    }
}

TEST_F(Document, PathsTitlesAndTheRecentFileList)
{
    std::vector<std::string> recent;
    auto oldRecent = platform::SetRecentFileHook([&](const char* path) { recent.push_back(path); });
    struct Case {
        const char* path;
        BOOL addToMRU;
        const char* title;
    };
    const Case cases[] = {
        {"C:\\users\\1a2b3c4d\\2f9c0e11.brk", TRUE, "2f9c0e11.brk"},
        {"/home/ann/model.old.brk", FALSE, "model.old.brk"},
        {"plain.brk", TRUE, "plain.brk"},
    };
    NumberDoc doc;
    for (const Case& c : cases) {
        recent.clear();
        doc.SetPathName(c.path, c.addToMRU);
        EXPECT_EQ(doc.GetPathName(), c.path);
        EXPECT_EQ(doc.GetTitle(), c.title);
        EXPECT_EQ(recent, c.addToMRU ? std::vector<std::string>{c.path} : std::vector<std::string>{});
    }
    platform::SetRecentFileHook(oldRecent);
}

TEST_F(Document, SavingWhereTheDocumentBelongs)
{
    std::vector<std::string> prompts;
    std::string answer;
    auto oldPrompt = platform::SetSavePathPromptHook([&](CDocument&, CString& path) {
        prompts.push_back(path.str());
        if (answer.empty())
            return false;
        path = answer.c_str();
        return true;
    });

    NumberDoc doc;
    doc.m_values = {3};
    // Unmodified: nothing is written, not even for an unnamed document.
    EXPECT_TRUE(doc.SaveModified());
    EXPECT_TRUE(prompts.empty());
    EXPECT_TRUE(Entries(m_dir).empty());

    // Modified and unnamed: a name is asked for; cancelling fails the save.
    doc.SetModifiedFlag();
    EXPECT_FALSE(doc.SaveModified());
    EXPECT_EQ(prompts.size(), 1u);
    EXPECT_TRUE(doc.IsModified());

    answer = PathOf("named.brk");
    EXPECT_TRUE(doc.SaveModified());
    EXPECT_EQ(doc.GetPathName(), answer);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(fs::exists(answer));

    // DoSave without replace writes a copy and keeps the document's name.
    EXPECT_TRUE(doc.DoSave(PathOf("copy.brk").c_str(), FALSE));
    EXPECT_EQ(doc.GetPathName(), answer);
    EXPECT_TRUE(fs::exists(PathOf("copy.brk")));

    // The File Save command reaches the base class's map and saves in place.
    doc.m_values = {4};
    doc.SetModifiedFlag();
    CCmdTarget* const route[] = {&doc};
    EXPECT_TRUE(RouteCommand(route, 1, 0xE103));
    EXPECT_EQ(ReadFile(answer), Numbers({4}, 1));
    EXPECT_FALSE(doc.IsModified());

    // A failed save answers FALSE through SaveModified as well.
    doc.SetPathName(PathOf("nowhere/x.brk").c_str(), FALSE);
    doc.SetModifiedFlag();
    answer.clear();
    EXPECT_FALSE(doc.SaveModified());
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(m_boxes.size(), 1u);

    platform::SetSavePathPromptHook(oldPrompt);
}

TEST(DocumentViews, UpdatesReachEveryViewButTheSender)
{
    NumberDoc doc;
    doc.m_bAutoDelete = FALSE;
    RecordingView a, b, c;
    doc.AddView(&a);
    doc.AddView(&b);
    doc.AddView(&c);

    std::vector<CView*> walked;
    for (POSITION position = doc.GetFirstViewPosition(); position;)
        walked.push_back(doc.GetNextView(position));
    EXPECT_EQ(walked, (std::vector<CView*>{&a, &b, &c}));
    EXPECT_EQ(a.GetDocument(), &doc);

    CDWordArray hintObject;
    doc.UpdateAllViews(&b, 57600, &hintObject);
    ASSERT_EQ(a.m_updates.size(), 1u);
    EXPECT_EQ(a.m_updates[0].sender, &b);
    EXPECT_EQ(a.m_updates[0].hint, 57600);
    EXPECT_EQ(a.m_updates[0].hintObject, &hintObject);
    EXPECT_TRUE(b.m_updates.empty());
    EXPECT_EQ(c.m_updates.size(), 1u);

    // A view removed during the pass is not told any more.
    a.m_onUpdate = [&] { doc.RemoveView(&c); };
    doc.UpdateAllViews(nullptr, 32777);
    EXPECT_EQ(b.m_updates.size(), 1u);
    EXPECT_EQ(c.m_updates.size(), 1u);
    EXPECT_EQ(c.GetDocument(), nullptr);
    a.m_onUpdate = nullptr;

    // A view moved to another document leaves the first.
    NumberDoc other;
    other.m_bAutoDelete = FALSE;
    other.AddView(&b);
    walked.clear();
    for (POSITION position = doc.GetFirstViewPosition(); position;)
        walked.push_back(doc.GetNextView(position));
    EXPECT_EQ(walked, std::vector<CView*>{&a});
    EXPECT_EQ(b.GetDocument(), &other);
}

TEST(DocumentViews, LifetimesOfViewsAndDocuments)
{
    // A destroyed view leaves its document; a destroyed document leaves its views.
    auto* doc = new NumberDoc;
    doc->m_bAutoDelete = FALSE;
    RecordingView kept;
    {
        RecordingView gone;
        doc->AddView(&gone);
        doc->AddView(&kept);
    }
    POSITION position = doc->GetFirstViewPosition();
    EXPECT_EQ(doc->GetNextView(position), &kept);
    EXPECT_EQ(position, nullptr);
    delete doc;
    EXPECT_EQ(kept.GetDocument(), nullptr);

    // An auto-deleting document closes itself with its last view.
    const int alive = NumberDoc::s_alive;
    auto* transient = new NumberDoc;
    RecordingView view;
    transient->AddView(&view);
    transient->RemoveView(&view);
    EXPECT_EQ(NumberDoc::s_alive, alive);

    // Closing empties the document and detaches its views.
    NumberDoc closing;
    closing.m_bAutoDelete = FALSE;
    closing.m_values = {1};
    closing.AddView(&view);
    closing.OnCloseDocument();
    EXPECT_TRUE(closing.m_values.empty());
    EXPECT_EQ(view.GetDocument(), nullptr);
    EXPECT_EQ(closing.GetFirstViewPosition(), nullptr);
}

class DocTemplate : public DocumentFiles {
protected:
    void SetUp() override
    {
        DocumentFiles::SetUp();
        m_oldRecent = platform::SetRecentFileHook([this](const char* path) { m_recent.push_back(path); });
    }
    void TearDown() override
    {
        platform::SetRecentFileHook(m_oldRecent);
        DocumentFiles::TearDown();
    }

    static NumberDoc* OnlyDoc(CDocTemplate& docTemplate)
    {
        POSITION position = docTemplate.GetFirstDocPosition();
        CDocument* doc = position ? docTemplate.GetNextDoc(position) : nullptr;
        EXPECT_EQ(position, nullptr);
        return dynamic_cast<NumberDoc*>(doc);
    }

    std::vector<std::string> m_recent;
    platform::RecentFileHook m_oldRecent;
};

TEST_F(DocTemplate, OneDocumentServesTheWholeRun)
{
    const int alive = NumberDoc::s_alive;
    {
        CSingleDocTemplate docTemplate(9999, RUNTIME_CLASS(NumberDoc), nullptr, nullptr);
        EXPECT_EQ(OnlyDoc(docTemplate), nullptr);

        auto* doc = dynamic_cast<NumberDoc*>(docTemplate.OpenDocumentFile(nullptr));
        ASSERT_NE(doc, nullptr);
        EXPECT_EQ(OnlyDoc(docTemplate), doc);
        EXPECT_EQ(doc->GetDocTemplate(), &docTemplate);
        EXPECT_EQ(doc->m_newCalls, 1);
        EXPECT_EQ(doc->GetTitle(), "Untitled");
        EXPECT_EQ(doc->m_saveModifiedCalls, 0) << "a document made just now has nothing to save";

        // The next document reuses the object; the modified one is saved first.
        RecordingView view;
        doc->AddView(&view);
        doc->m_values = {8};
        doc->SetPathName(PathOf("first.brk").c_str(), FALSE);
        doc->SetModifiedFlag();
        EXPECT_EQ(docTemplate.OpenDocumentFile(nullptr), doc);
        EXPECT_EQ(ReadFile(PathOf("first.brk")), Numbers({8}, 1));
        EXPECT_TRUE(doc->m_values.empty());
        EXPECT_TRUE(doc->GetPathName().IsEmpty());
        EXPECT_EQ(view.m_initialUpdates, 1);

        // An open names the document and lists it among the recent files.
        m_recent.clear();
        EXPECT_EQ(docTemplate.OpenDocumentFile(PathOf("first.brk").c_str()), doc);
        EXPECT_EQ(doc->m_values, std::vector<LONG>{8});
        EXPECT_EQ(doc->GetPathName(), PathOf("first.brk"));
        EXPECT_EQ(doc->GetTitle(), "first.brk");
        EXPECT_EQ(m_recent, std::vector<std::string>{PathOf("first.brk")});
        EXPECT_EQ(view.m_initialUpdates, 2);

        // Refusing SaveModified cancels: the document stays as it is.
        doc->m_values = {9};
        doc->m_refuseSaveModified = TRUE;
        EXPECT_EQ(docTemplate.OpenDocumentFile(nullptr), nullptr);
        EXPECT_EQ(doc->m_values, std::vector<LONG>{9});
        doc->m_refuseSaveModified = FALSE;

        // Closing keeps the object for the next document.
        doc->OnCloseDocument();
        EXPECT_EQ(OnlyDoc(docTemplate), doc);
        EXPECT_EQ(view.GetDocument(), nullptr);
        EXPECT_EQ(NumberDoc::s_alive, alive + 1);
    }
    EXPECT_EQ(NumberDoc::s_alive, alive) << "the template deletes its document";
}

TEST_F(DocTemplate, FailedOpensLeaveAKnownDocument)
{
    WriteFile(PathOf("good.brk"), Numbers({1, 2}, 2));
    WriteFile(PathOf("short.brk"), Numbers({1}, 4));
    CSingleDocTemplate docTemplate(9999, RUNTIME_CLASS(NumberDoc), nullptr, nullptr);
    NumberDoc* doc = dynamic_cast<NumberDoc*>(docTemplate.OpenDocumentFile(PathOf("good.brk").c_str()));
    ASSERT_NE(doc, nullptr);

    // A modified document whose save fails is not replaced.
    doc->m_values = {1, 2, 3};
    doc->SetPathName(PathOf("nowhere/kept.brk").c_str(), FALSE);
    doc->SetModifiedFlag();
    EXPECT_EQ(docTemplate.OpenDocumentFile(PathOf("good.brk").c_str()), nullptr);
    EXPECT_EQ(doc->m_values, (std::vector<LONG>{1, 2, 3}));
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(m_boxes.size(), 1u);

    // A file that cannot be read at all: the document is untouched, its
    // modified flag included.
    doc->m_pretendSaved = TRUE;
    m_boxes.clear();
    EXPECT_EQ(docTemplate.OpenDocumentFile(PathOf("missing.brk").c_str()), nullptr);
    EXPECT_EQ(doc->m_values, (std::vector<LONG>{1, 2, 3}));
    EXPECT_EQ(doc->GetPathName(), PathOf("nowhere/kept.brk"));
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(m_boxes.size(), 1u);

    // A read that failed midway: a new, untitled document replaces it.
    m_boxes.clear();
    const int newCalls = doc->m_newCalls;
    EXPECT_EQ(docTemplate.OpenDocumentFile(PathOf("short.brk").c_str()), nullptr);
    EXPECT_EQ(OnlyDoc(docTemplate), doc);
    EXPECT_TRUE(doc->m_values.empty());
    EXPECT_TRUE(doc->GetPathName().IsEmpty());
    EXPECT_EQ(doc->GetTitle(), "Untitled");
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->m_newCalls, newCalls + 1);
    EXPECT_EQ(m_boxes.size(), 1u);
}

TEST_F(DocTemplate, AFirstDocumentThatCannotBeOpenedIsNotKept)
{
    const int alive = NumberDoc::s_alive;
    CSingleDocTemplate docTemplate(9999, RUNTIME_CLASS(NumberDoc), nullptr, nullptr);
    EXPECT_EQ(docTemplate.OpenDocumentFile(PathOf("missing.brk").c_str()), nullptr);
    EXPECT_EQ(OnlyDoc(docTemplate), nullptr);
    EXPECT_EQ(NumberDoc::s_alive, alive);
    EXPECT_EQ(m_boxes.size(), 1u);

    // A class that makes no document is reported.
    CSingleDocTemplate wrongClass(9999, RUNTIME_CLASS(CDWordArray), nullptr, nullptr);
    m_boxes.clear();
    EXPECT_EQ(wrongClass.OpenDocumentFile(nullptr), nullptr);
    EXPECT_EQ(m_boxes.size(), 1u);
}

TEST_F(DocTemplate, TheWindowLayerMakesAndClosesTheFrames)
{
    struct Frames : platform::IDocumentFrames {
        bool allow = true;
        std::vector<std::string> calls;
        bool CreateFrame(CDocTemplate&, CDocument&) override
        {
            calls.push_back("create");
            return allow;
        }
        void InitialUpdateFrame(CDocTemplate&, CDocument&, bool makeVisible) override
        {
            calls.push_back(makeVisible ? "show" : "update");
        }
        void CloseFrames(CDocument&) override { calls.push_back("close"); }
    } frames;
    ScopedHook recordFrames(platform::SetDocumentFrames, &frames);

    const int alive = NumberDoc::s_alive;
    {
        CSingleDocTemplate docTemplate(9999, RUNTIME_CLASS(NumberDoc), nullptr, nullptr);
        frames.allow = false;
        EXPECT_EQ(docTemplate.OpenDocumentFile(nullptr), nullptr);
        EXPECT_EQ(NumberDoc::s_alive, alive);

        frames.allow = true;
        frames.calls.clear();
        CDocument* doc = docTemplate.OpenDocumentFile(nullptr, FALSE);
        ASSERT_NE(doc, nullptr);
        doc->OnCloseDocument();
        EXPECT_EQ(frames.calls, (std::vector<std::string>{"create", "update", "close"}));
    }
}

TEST(OleServerDoc, NotEmbeddedAndWithoutItemUntilTheClassMakesOne)
{
    NumberDoc doc;
    EXPECT_FALSE(doc.IsEmbedded());
    EXPECT_EQ(doc.GetEmbeddedItem(), nullptr);

    const LONG locks = AfxOleGetLockCount();
    AfxOleLockApp();
    AfxOleLockApp();
    EXPECT_FALSE(AfxOleCanExitApp());
    AfxOleUnlockApp();
    AfxOleUnlockApp();
    EXPECT_EQ(AfxOleGetLockCount(), locks);
    AfxOleUnlockApp();  // unbalanced: must not wrap
    EXPECT_GE(AfxOleGetLockCount(), 0);
}

}  // namespace
